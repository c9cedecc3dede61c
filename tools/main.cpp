#include "app/Paths.h"
#include "tools/demo/DemoData.h"
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <exception>

// make-demo-data DATA_ROOT FIRM,YEAR: creates the firm and year databases of a demo firm.
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = application.arguments();
    const char *const usage = "usage: make-demo-data DATA_ROOT FIRM,YEAR   (for example: make-demo-data /srv/acc 5,2)\n";
    // Taken for a data root, a misspelt option would have files created below a folder of its name.
    for (const QString &arg : args.mid(1)) {
        if (arg.startsWith(QLatin1Char('-'))) {
            err << "make-demo-data: unknown option \"" << arg << "\"\n" << usage;
            return 2;
        }
    }
    static const QRegularExpression firmYear(QStringLiteral("^\\s*(\\d+)\\s*,\\s*(\\d+)\\s*$"));
    const QRegularExpressionMatch match = args.size() == 3 ? firmYear.match(args[2]) : QRegularExpressionMatch();
    if (!match.hasMatch()) {
        err << usage;
        return 2;
    }
    bool firmOk = false, yearOk = false;
    const int firm = match.captured(1).toInt(&firmOk);
    const int year = match.captured(2).toInt(&yearOk);
    if (!firmOk || !yearOk || firm > 32767 || year > 32767) {
        err << "Firm and year must be numbers from 0 to 32767\n";
        return 2;
    }
    const QString root = args[1];
    try {
        const demo::DemoFiles files = demo::makeDemoData(root, firm, year);
        out << "Created year database " << app::yearDbBase(root, firm, year) << ".db\n"
            << "Created firm database " << app::firmDbBase(root, firm) << ".db\n";
    } catch (const std::exception &e) {
        err << "make-demo-data: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
