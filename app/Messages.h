#pragma once
#include <QString>

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

} // namespace app
