#include "app/Paths.h"

namespace app {

QString dataRootOf(const QString &programFolder)
{
    if (programFolder.size() < 4)
        return {};
    return programFolder.left(programFolder.size() - 4);
}

QString yearDbBase(const QString &root, int firm, int year)
{
    return QStringLiteral("%1/Firm%2/Yr%3/Corvane%3").arg(root).arg(firm).arg(year);
}

QString firmDbBase(const QString &root, int firm)
{
    return QStringLiteral("%1/Firm%2/Firm%2").arg(root).arg(firm);
}

QString connectionString(const QString &baseWithoutExtension, const QString &password)
{
    return QStringLiteral("Provider=SQLCipher;Data Source=") + baseWithoutExtension
        + QStringLiteral(".db;Password=") + password + QStringLiteral(";");
}

QString yearConnectionString(const QString &root, int firm, int year)
{
    return connectionString(yearDbBase(root, firm, year), YearPassword);
}

QString firmConnectionString(const QString &root, int firm)
{
    return connectionString(firmDbBase(root, firm), FirmPassword);
}

QString firmServerDatabase(int firm)
{
    return QStringLiteral("firm%1").arg(firm);
}

QString yearServerDatabase(int firm, int year)
{
    return QStringLiteral("firm%1_yr%2").arg(firm).arg(year);
}

// The server's text comes last, as it may hold ';' and '=' of its own.
QString serverConnectionString(const QString &server, const QString &database)
{
    return QStringLiteral("Provider=PostgreSQL;Database=") + database + QStringLiteral(";Server=") + server;
}

QString yearConnection(const QString &server, const QString &root, int firm, int year)
{
    return server.isEmpty() ? yearConnectionString(root, firm, year)
                            : serverConnectionString(server, yearServerDatabase(firm, year));
}

QString firmConnection(const QString &server, const QString &root, int firm)
{
    return server.isEmpty() ? firmConnectionString(root, firm) : serverConnectionString(server, firmServerDatabase(firm));
}

} // namespace app
