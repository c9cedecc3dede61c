#include "app/Module1.h"
#include "app/CommandLine.h"
#include "app/Convert.h"
#include "app/Messages.h"
#include "app/Paths.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "ui/list/Form1.h"
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace app {

Settings &settings()
{
    static Settings s;
    return s;
}

data::Connection &YearDb()
{
    if (!settings().YearDb)
        throw data::DbError(QStringLiteral("The year database is not open."), data::DbCode::NotOpen);
    return *settings().YearDb;
}

data::Connection &FirmDb()
{
    if (!settings().FirmDb)
        throw data::DbError(QStringLiteral("The firm database is not open."), data::DbCode::NotOpen);
    return *settings().FirmDb;
}

void setReportFamily(Settings &s, const QString &family)
{
    s.ReportFamily = family;
    if (family != QLatin1String("PWR"))
        return;
    const Family f = reportFamily(family);
    s.SourceTables = f.SourceTables;
    s.SourceFrom = f.SourceFrom;
    s.ExtraSelect = f.ExtraSelect;
}

namespace {

// The tables the designer reads and writes; a file without one of them is not this firm's.
const QStringList YearTables = {QStringLiteral("ZoCTR"), QStringLiteral("ZoM35"), QStringLiteral("CRDefCol"),
                                QStringLiteral("CRCustFld"), QStringLiteral("CrMain"), QStringLiteral("CrChild")};
const QStringList FirmTables = {QStringLiteral("ZoF05")};

void requireTables(data::Connection &db, const QStringList &tables)
{
    for (const QString &table : tables) {
        const auto found = db.select(
            QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"), {table});
        if (found.rows.first().first().toInt() == 0)
            throw data::DbError(QStringLiteral("The database has no table %1.").arg(table), data::DbCode::Missing);
    }
}

std::unique_ptr<data::Connection> openDatabase(const QString &connectionString, const QStringList &tables)
{
    auto db = data::Connection::open(connectionString);
    requireTables(*db, tables);
    return db;
}

void tell(const QString &text, Icon icon)
{
    std::fprintf(stderr, "designer: %s\n", qPrintable(text));
    std::fflush(stderr);
    MsgBox(text, Buttons::OkOnly, icon);
}

int startFailed(const QString &text)
{
    tell(text, Icon::Critical);
    return 2;
}

// Which open file this program cannot write, and what that stops; empty when both can be written.
QString readOnlyFiles(const Settings &s)
{
    const QString cannot = QStringLiteral("The %1 database %2.db cannot be written (a read-only file, folder or "
                                          "medium): %3");
    QStringList lines;
    if (!s.YearDb->writable())
        lines << cannot.arg(QStringLiteral("year"), yearDbBase(s.DataRoot, s.FirmNo, s.YearNo),
                            QStringLiteral("definitions can be opened but not saved."));
    if (!s.FirmDb->writable())
        lines << cannot.arg(QStringLiteral("firm"), firmDbBase(s.DataRoot, s.FirmNo),
                            QStringLiteral("new definitions cannot be given a number."));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

int Main(const QStringList &arguments, const QString &programFolder)
{
    Settings &s = settings();
    const CommandLine line = parseCommandLine(arguments);
    if (!line.error.isEmpty())
        return startFailed(line.error);
    s.FirmNo = line.firmNo;
    s.YearNo = line.yearNo;
    s.RunMode = line.runMode;
    s.DataRoot = dataRootOf(programFolder);
    if (s.DataRoot.isEmpty())
        return startFailed(QStringLiteral("The program folder \"%1\" is too short to lie below a data root.")
                               .arg(programFolder));
    try {
        s.YearDb = openDatabase(yearConnectionString(s.DataRoot, s.FirmNo, s.YearNo), YearTables);
    } catch (const data::DbError &e) {
        return startFailed(QStringLiteral("Cannot open the year database %1.db: %2")
                               .arg(yearDbBase(s.DataRoot, s.FirmNo, s.YearNo), e.text()));
    }
    try {
        s.FirmDb = openDatabase(firmConnectionString(s.DataRoot, s.FirmNo), FirmTables);
    } catch (const data::DbError &e) {
        s.YearDb.reset();
        return startFailed(QStringLiteral("Cannot open the firm database %1.db: %2")
                               .arg(firmDbBase(s.DataRoot, s.FirmNo), e.text()));
    }
    setReportFamily(s, QStringLiteral("PWR"));
    Form1 &list = Form1::instance();
    list.show();
    // Said now rather than first by a save that fails.
    const QString readOnly = readOnlyFiles(s);
    if (!readOnly.isEmpty()) {
        list.setWindowTitle(list.windowTitle() + QStringLiteral(" - read-only"));
        tell(readOnly, Icon::Exclamation);
    }
    return 0;
}

double GetSqlValue(const QString &sqlText, const data::Params &params)
{
    const data::RowSet rows = YearDb().select(sqlText, params);
    if (rows.rows.isEmpty() || rows.columns.isEmpty())
        return 0;
    return rows.rows.first().first().toDouble();
}

int GetRecNo(const QString &series, bool increment)
{
    data::Connection &db = FirmDb();
    data::Transaction tx(db);
    const data::RowSet rows = db.select(QStringLiteral("Select Col98 From ZoF05 Where Col99=?"), {series});
    if (rows.rows.isEmpty())
        throw data::DbError(QStringLiteral("The number series \"%1\" has no row in ZoF05.").arg(series),
                            data::DbCode::Missing);
    const QVariant value = rows.rows.first().first();
    const std::optional<qint64> next = wholeNumber(value);
    // Read as 0, a counter gone bad would hand out numbers already used; nothing is saved instead.
    if (!next || *next < 0 || *next > 2147483646)
        throw data::DbError(QStringLiteral("The number series \"%1\" in the firm file %2.db holds %3, which is not "
                                           "a record number. Nothing was saved.")
                                .arg(series, firmDbBase(settings().DataRoot, settings().FirmNo),
                                     value.isNull() ? QStringLiteral("no value")
                                                    : QLatin1Char('"') + value.toString() + QLatin1Char('"')),
                            data::DbCode::BadCounter);
    if (increment)
        db.execute(QStringLiteral("Update ZoF05 Set Col98=? Where Col99=?"), {qint64(*next) + 1, series});
    tx.commit();
    return int(*next);
}

int GetFreeRecNo(const QString &series, const std::function<bool(int)> &inUse)
{
    for (;;) {
        const int n = GetRecNo(series);
        if (!inUse(n))
            return n;
    }
}

QString NewOthKey(data::Connection &year, const QString &prefix, const QString &kept)
{
    const auto inUse = [&](int n) {
        const QString ctr = QStringLiteral("CTR%1").arg(n), crf = QStringLiteral("CRF%1").arg(n);
        return !year
                    .select(QStringLiteral("Select 1 From ZoCTR Where Col99=? Union All Select 1 From CrMain Where "
                                           "ColCode=? Union All Select 1 From CrChild Where ColCode=? Limit 1"),
                            {ctr, crf, crf})
                    .rows.isEmpty();
    };
    bool numbered = false;
    const int n = kept.mid(3).toInt(&numbered);
    if (kept.startsWith(prefix) && numbered && !inUse(n))
        return kept;
    return prefix + QString::number(GetFreeRecNo(QStringLiteral("OTH"), inUse));
}

std::optional<SaveResult> saveAsking(const std::function<SaveResult(bool overwrite)> &save)
{
    for (bool overwrite = false;; overwrite = true) {
        SaveResult result{};
        if (!withErrorBox([&] { result = save(overwrite); }))
            return std::nullopt;
        if (result == SaveResult::Saved || result == SaveResult::DuplicateName
            || !keepMineOverOther(result == SaveResult::DeletedElsewhere))
            return result;
    }
}

QString MakeDecFormat(int decimals)
{
    QString text = QStringLiteral("##########0.");
    for (int i = 1; i <= decimals; ++i)
        text += QLatin1Char('0');
    return text;
}

void endProgram()
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace app
