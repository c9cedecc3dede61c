#include "app/Keyboard.h"
#include "app/Module1.h"
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Report Designer"));
    app::pressButtonsOnEnter();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const int failed = app::Main(arguments, QApplication::applicationDirPath());
    if (failed)
        return failed;
    return QApplication::exec();
}
