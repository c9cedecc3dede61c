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

} // namespace app
