#pragma once
#include "app/Family.h"
#include "data/Connection.h"
#include <QString>
#include <QStringList>
#include <memory>

namespace app {

// Run-wide settings, written only by start-up.
struct Settings {
    int FirmNo = 0;
    int YearNo = 0;
    QString DataRoot;
    QString RunMode;
    QString ReportFamily;
    QString SourceTables;
    QString SourceFrom;
    QString ExtraSelect;
    std::unique_ptr<data::Connection> YearDb;
    std::unique_ptr<data::Connection> FirmDb;
};

Settings &settings();
data::Connection &YearDb();
data::Connection &FirmDb();

void setReportFamily(Settings &s, const QString &family);

// Start-up: reads the command line, opens both databases and shows the report list. Returns 0
// when the list is shown; otherwise the error has been reported and the exit code is returned.
int Main(const QStringList &arguments, const QString &programFolder);

// The first value of the first row of a query on the year database; 0 when there is no row.
double GetSqlValue(const QString &sqlText, const data::Params &params = {});

// Hands out the next number of a series from ZoF05 in the firm database. The read and the
// increment are one write-locked transaction, so two programs never get the same number.
int GetRecNo(const QString &series, bool increment = true);

// "##########0." followed by one "0" per decimal place.
QString MakeDecFormat(int decimals);

// Ends the program at once, as the list window's Close does.
[[noreturn]] void endProgram();

} // namespace app
