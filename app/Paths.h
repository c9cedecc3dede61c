#pragma once
#include <QString>

namespace app {

inline const QString YearPassword = QStringLiteral("mervolst");
inline const QString FirmPassword = QStringLiteral("quandrel");

// The program folder less its last four characters ("/acc/Rpt" gives "/acc"). Empty when the
// folder is too short to have a root.
QString dataRootOf(const QString &programFolder);

// Database paths without their ".db" extension.
QString yearDbBase(const QString &root, int firm, int year);
QString firmDbBase(const QString &root, int firm);

QString connectionString(const QString &baseWithoutExtension, const QString &password);
QString yearConnectionString(const QString &root, int firm, int year);
QString firmConnectionString(const QString &root, int firm);

// A firm on a database server: its databases "firm<F>" and "firm<F>_yr<Y>" on the server that
// the libpq conninfo or URI `server` names, which signs in with the server's own authentication.
QString firmServerDatabase(int firm);
QString yearServerDatabase(int firm, int year);
QString serverConnectionString(const QString &server, const QString &database);

// The year or firm database of a run: on `server` when one is named, else the file under `root`.
QString yearConnection(const QString &server, const QString &root, int firm, int year);
QString firmConnection(const QString &server, const QString &root, int firm);

} // namespace app
