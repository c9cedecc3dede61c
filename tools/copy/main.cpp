#include "tools/FirmYear.h"
#include "tools/copy/ServerCopy.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <exception>

// copy-to-server --server=CONNINFO DATA_ROOT FIRM,YEAR: copies a firm's year and firm files into
// the server's databases firm<F>_yr<Y> and firm<F>.
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout), err(stderr);
    const char *const usage =
        "usage: copy-to-server --server=CONNINFO DATA_ROOT FIRM,YEAR   (for example: copy-to-server "
        "--server=\"host=db.local user=acc\" /srv/acc 5,2)\n";
    QString server;
    QStringList positional;
    int servers = 0;
    for (const QString &arg : application.arguments().mid(1)) {
        if (arg.startsWith(QLatin1String("--server="))) {
            server = arg.mid(9);
            ++servers;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            err << "copy-to-server: unknown option \"" << arg << "\"\n" << usage;
            return 2;
        } else {
            positional << arg;
        }
    }
    QString error;
    const auto firmYear = positional.size() == 2 ? tools::parseFirmYear(positional[1], error) : std::nullopt;
    if (servers != 1 || server.trimmed().isEmpty() || !firmYear) {
        err << (error.isEmpty() ? QString::fromLatin1(usage) : error + QLatin1Char('\n'));
        return 2;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        servercopy::copyToServer(server, servercopy::firmMoves(positional[0], firmYear->firm, firmYear->year),
                                 [&](const servercopy::Move &move, const servercopy::Copied &copied) {
                                     if (copied.kept)
                                         out << "Kept " << move.database
                                             << " as the server holds it: it is filled already\n";
                                     else
                                         out << "Copied " << copied.rows << " rows of " << copied.tables
                                             << " tables into " << move.database << '\n';
                                 });
        out << "Done in " << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
    } catch (const std::exception &e) {
        err << "copy-to-server: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
