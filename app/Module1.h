#pragma once
#include "app/Family.h"
#include "data/Connection.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace app {

// Run-wide settings, written only by start-up.
struct Settings {
    int FirmNo = 0;
    int YearNo = 0;
    QString DataRoot;
    QString Server; // the libpq conninfo or URI of the firm's server; empty when the data are files
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

// The connection string of the run's year database, file or server, for a connection of its own.
QString yearConnection(const Settings &s);

// Start-up: reads the command line, opens both databases and shows the report list. Returns 0
// when the list is shown; otherwise the error has been reported and the exit code is returned.
int Main(const QStringList &arguments, const QString &programFolder);

// The first value of the first row of a query on the year database; 0 when there is no row.
double GetSqlValue(const QString &sqlText, const data::Params &params = {});

// Hands out the next number of a series from ZoF05 in the firm database. The read and the
// increment are one write-locked transaction on a file, and one statement on a server, so two
// programs never get the same number. A counter that holds no whole number from 0 up throws
// DbError (BadCounter) and is left as it is.
int GetRecNo(const QString &series, bool increment = true);

// The next number of the series that `inUse` finds free. A counter set behind the numbers in use
// (a firm file restored from an older copy) skips them; a skipped number stays taken.
int GetFreeRecNo(const QString &series, const std::function<bool(int)> &inUse);

// The key of a new definition of either designer (prefix "CTR" or "CRF"): `kept`, the key an
// earlier failed save of it took, while no definition uses its number, or else the prefix and the
// next "OTH" number that no definition uses, as CTR n or CRF n. Call it inside the save's
// transaction of the year file.
QString NewOthKey(data::Connection &year, const QString &prefix, const QString &kept);

// How a save of a definition ended: stored, or refused with nothing written because another
// definition has its name, or because another program changed or deleted it since it was loaded.
enum class SaveResult { Saved, DuplicateName, ChangedElsewhere, DeletedElsewhere };

// How a save ends when the definition as stored now (`now`, empty once deleted) is not what the
// window read; empty when it is unchanged. Read `now` inside the save's transaction.
template <class Stored>
std::optional<SaveResult> changedElsewhere(const Stored &now, const Stored &loaded)
{
    if (now.isEmpty())
        return SaveResult::DeletedElsewhere;
    if (now != loaded)
        return SaveResult::ChangedElsewhere;
    return std::nullopt;
}

// A window's save: runs `save` until it stores the definition or the user stops it. A database error
// is shown and gives no result. When another program changed or deleted the definition since the
// window loaded it, the user chooses: his version (the save runs again with `overwrite` set) or the
// stored one (that result is returned, for the window to show what is stored or to close).
std::optional<SaveResult> saveAsking(const std::function<SaveResult(bool overwrite)> &save);

// "##########0." followed by one "0" per decimal place.
QString MakeDecFormat(int decimals);

// Ends the program at once, as the list window's Close does.
[[noreturn]] void endProgram();

} // namespace app
