#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace app {

enum class Buttons { OkOnly, YesNo };
enum class Icon { None, Critical, Information, Exclamation };
enum class Answer { Ok, Yes, No };

struct Message {
    QString prompt;
    Buttons buttons = Buttons::OkOnly;
    Icon icon = Icon::None;
    Answer defaultButton = Answer::Ok;
    QString title; // empty: the application's title
};

// Every message box of the program goes through here.
class MessageSeam {
public:
    virtual ~MessageSeam() = default;
    virtual Answer ask(const Message &message) = 0;
};

MessageSeam &messages();
// Replaces the seam (tests install a recording fake); nullptr restores the real message boxes.
void setMessages(MessageSeam *seam);

inline Answer MsgBox(const QString &prompt, Buttons buttons = Buttons::OkOnly, Icon icon = Icon::None,
                     const QString &title = {}, Answer defaultButton = Answer::Ok)
{
    return messages().ask({prompt, buttons, icon, defaultButton, title});
}

// A failure the user cannot fix here, such as a database error, shown with its text.
inline void ErrorBox(const QString &text)
{
    MsgBox(text, Buttons::OkOnly, Icon::Critical);
}

// What a definition just loaded holds out of range, each with what a save stores instead; said
// once as the window opens, and not at all when there is nothing to say.
inline void tellProblems(const QStringList &problems)
{
    if (!problems.isEmpty())
        MsgBox(problems.join(QLatin1Char('\n')), Buttons::OkOnly, Icon::Exclamation);
}

// Runs a handler's database work. A database error is shown with the engine's text and the result
// is false, so that the handler stops with its window open and the work rolled back.
bool withErrorBox(const std::function<void()> &work);

// Another program changed or deleted a definition after this window loaded it: asks whether to
// store this window's version over that (true) or to take what is stored now (false, the default).
bool keepMineOverOther(bool deleted);

} // namespace app
