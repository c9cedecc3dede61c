#include "app/Messages.h"
#include "data/DbError.h"
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace app {

namespace {

class BoxSeam : public MessageSeam {
public:
    Answer ask(const Message &m) override
    {
        // Without a display nobody could answer: take the default.
        const QString platform = QGuiApplication::platformName();
        if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
            return m.defaultButton;
        // The window the box stands over has the keyboard again once it closes, whatever the
        // desktop activates: the focus is then on the control the handler names at fault.
        struct GiveBack {
            QPointer<QWidget> window;
            ~GiveBack()
            {
                if (window && window->isVisible())
                    window->activateWindow();
            }
        } giveBack{QApplication::activeWindow()};
        QMessageBox box(giveBack.window);
        box.setText(m.prompt);
        box.setWindowTitle(m.title.isEmpty() ? QApplication::applicationName() : m.title);
        switch (m.icon) {
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::None:
            break;
        }
        if (m.buttons == Buttons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(m.defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
};

BoxSeam realSeam;
MessageSeam *current = &realSeam;

} // namespace

bool withErrorBox(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const data::DbError &e) {
        ErrorBox(e.text());
        return false;
    }
}

bool keepMineOverOther(bool deleted)
{
    const QString prompt = deleted
        ? QStringLiteral("Another program deleted this definition after you opened it.\n\nYes stores your "
                         "version again; No leaves it deleted.")
        : QStringLiteral("Another program changed this definition after you opened it.\n\nYes stores your "
                         "version over that change; No shows the stored one instead.");
    return MsgBox(prompt, Buttons::YesNo, Icon::Exclamation, {}, Answer::No) == Answer::Yes;
}

MessageSeam &messages()
{
    return *current;
}

void setMessages(MessageSeam *seam)
{
    current = seam ? seam : &realSeam;
}

} // namespace app
