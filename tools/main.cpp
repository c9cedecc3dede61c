#include "app/Paths.h"
#include "tools/FirmYear.h"
#include "tools/demo/DemoData.h"
#include <QCoreApplication>
#include <QTextStream>
#include <exception>

// make-demo-data DATA_ROOT FIRM,YEAR: creates the firm and year databases of a demo firm, as files
// under the data root or, with --server=CONNINFO, as databases on that server.
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = application.arguments();
    const char *const usage = "usage: make-demo-data DATA_ROOT FIRM,YEAR   (for example: make-demo-data /srv/acc 5,2)\n"
                              "       make-demo-data --server=CONNINFO FIRM,YEAR   (a libpq connection string or URI)\n";
    const QString serverOption = QStringLiteral("--server=");
    QString server;
    if (args.size() == 3 && args[1].startsWith(serverOption) && args[1].size() > serverOption.size())
        server = args[1].mid(serverOption.size());
    // Taken for a data root, a misspelt option would have files created below a folder of its name.
    for (const QString &arg : args.mid(server.isEmpty() ? 1 : 2)) {
        if (arg.startsWith(QLatin1Char('-'))) {
            err << "make-demo-data: unknown option \"" << arg << "\"\n" << usage;
            return 2;
        }
    }
    QString error;
    const auto firmYear = args.size() == 3 ? tools::parseFirmYear(args[2], error) : std::nullopt;
    if (!firmYear) {
        err << (error.isEmpty() ? QString::fromLatin1(usage) : error + QLatin1Char('\n'));
        return 2;
    }
    const int firm = firmYear->firm, year = firmYear->year;
    const QString root = args[1];
    try {
        if (server.isEmpty()) {
            demo::makeDemoData(root, firm, year);
            out << "Created year database " << app::yearDbBase(root, firm, year) << ".db\n"
                << "Created firm database " << app::firmDbBase(root, firm) << ".db\n";
        } else {
            demo::makeServerDemoData(server, firm, year);
            out << "Created year database " << app::yearServerDatabase(firm, year) << " on the server\n"
                << "Created firm database " << app::firmServerDatabase(firm) << " on the server\n";
        }
    } catch (const std::exception &e) {
        err << "make-demo-data: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
