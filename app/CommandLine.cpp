#include "app/CommandLine.h"
#include "app/Convert.h"

namespace app {

QString usageText()
{
    return QStringLiteral("usage: designer [--run-mode=CTR|WIZARD] [--server=CONNINFO] FIRM,YEAR (for example: designer "
                          "5,2)\n  --server=CONNINFO  the firm's databases firm<FIRM> and firm<FIRM>_yr<YEAR> on a "
                          "PostgreSQL server,\n                     named by a libpq connection string or URI "
                          "(\"host=acc-server user=anna\")");
}

namespace {

bool readNumber(const QString &item, const char *what, int *out, QString *error)
{
    const auto value = toInt16(item);
    if (!value) {
        *error = QStringLiteral("The %1 number \"%2\" is not a whole number from 0 to 32767.")
                     .arg(QLatin1String(what), item.trimmed());
        return false;
    }
    if (*value < 0) {
        *error = QStringLiteral("The %1 number \"%2\" must not be negative.").arg(QLatin1String(what), item.trimmed());
        return false;
    }
    *out = *value;
    return true;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine result;
    QStringList words;
    for (const QString &arg : arguments) {
        if (!arg.startsWith(QLatin1String("--"))) {
            words << arg;
            continue;
        }
        if (arg == QLatin1String("--run-mode=CTR") || arg == QLatin1String("--run-mode=WIZARD")) {
            result.runMode = arg.mid(11);
            continue;
        }
        if (arg.startsWith(QLatin1String("--server="))) {
            result.server = arg.mid(9).trimmed();
            if (!result.server.isEmpty())
                continue;
            result.error =
                QStringLiteral("The option --server= needs a connection string or URI of the server.\n") + usageText();
            return result;
        }
        result.error = QStringLiteral("Unknown option \"%1\".\n").arg(arg) + usageText();
        return result;
    }
    const QStringList items = words.join(QLatin1Char(' ')).split(QLatin1Char(','));
    if (items.size() < 2) {
        result.error = QStringLiteral("The command line must give a firm and a year number separated by a comma.\n")
            + usageText();
        return result;
    }
    QString error;
    if (!readNumber(items[0], "firm", &result.firmNo, &error) || !readNumber(items[1], "year", &result.yearNo, &error))
        result.error = error + QLatin1Char('\n') + usageText();
    return result;
}

} // namespace app
