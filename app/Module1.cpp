#include "app/Module1.h"
#include "app/CommandLine.h"
#include "app/Convert.h"
#include "app/Messages.h"
#include "app/Paths.h"
#include "data/DbError.h"
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

QString yearConnection(const Settings &s)
{
    return yearConnection(s.Server, s.DataRoot, s.FirmNo, s.YearNo);
}

namespace {

// The tables the designer reads and writes; a file without one of them is not this firm's.
const QStringList YearTables = {QStringLiteral("ZoCTR"), QStringLiteral("ZoM35"), QStringLiteral("CRDefCol"),
                                QStringLiteral("CRCustFld"), QStringLiteral("CrMain"), QStringLiteral("CrChild")};
const QStringList FirmTables = {QStringLiteral("ZoF05")};

std::unique_ptr<data::Connection> openDatabase(const QString &connectionString, const QStringList &tables)
{
    auto db = data::Connection::open(connectionString);
    for (const QString &table : tables)
        if (!db->hasTable(table))
            throw data::DbError(QStringLiteral("The database has no table %1.").arg(table), data::DbCode::Missing);
    return db;
}

bool onServer(const Settings &s)
{
    return !s.Server.isEmpty();
}

// The year or firm database as messages name it: its file, or its name on the server.
QString yearDatabase(const Settings &s)
{
    return onServer(s) ? yearServerDatabase(s.FirmNo, s.YearNo) + QStringLiteral(" on the server")
                       : yearDbBase(s.DataRoot, s.FirmNo, s.YearNo) + QStringLiteral(".db");
}

QString firmDatabase(const Settings &s)
{
    return onServer(s) ? firmServerDatabase(s.FirmNo) + QStringLiteral(" on the server")
                       : firmDbBase(s.DataRoot, s.FirmNo) + QStringLiteral(".db");
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
    const QString cannot = QStringLiteral("The %1 database %2 cannot be written (%3): %4");
    const QString why = onServer(s) ? QStringLiteral("a read-only server or session, or no right to change its tables")
                                    : QStringLiteral("a read-only file, folder or medium");
    QStringList lines;
    if (!s.YearDb->writable())
        lines << cannot.arg(QStringLiteral("year"), yearDatabase(s), why,
                            QStringLiteral("definitions can be opened but not saved."));
    if (!s.FirmDb->writable())
        lines << cannot.arg(QStringLiteral("firm"), firmDatabase(s), why,
                            QStringLiteral("new definitions cannot be given a number."));
    return lines.join(QLatin1Char('\n'));
}

// The number a counter read from ZoF05 holds; throws when there is no counter or it holds no
// record number, as a number read as 0 would hand out numbers already used.
int counterValue(const QString &series, const data::RowSet &rows)
{
    if (rows.rows.isEmpty())
        throw data::DbError(QStringLiteral("The number series \"%1\" has no row in ZoF05.").arg(series),
                            data::DbCode::Missing);
    const QVariant value = rows.rows.first().first();
    const std::optional<qint64> next = wholeNumber(value);
    if (!next || *next < 0 || *next > 2147483646)
        throw data::DbError(QStringLiteral("The number series \"%1\" in the firm %2 %3 holds %4, which is not "
                                           "a record number. Nothing was saved.")
                                .arg(series, onServer(settings()) ? QStringLiteral("database") : QStringLiteral("file"),
                                     firmDatabase(settings()),
                                     value.isNull() ? QStringLiteral("no value")
                                                    : QLatin1Char('"') + value.toString() + QLatin1Char('"')),
                            data::DbCode::BadCounter);
    return int(*next);
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
    s.Server = line.server;
    s.DataRoot = dataRootOf(programFolder);
    if (s.DataRoot.isEmpty() && !onServer(s))
        return startFailed(QStringLiteral("The program folder \"%1\" is too short to lie below a data root.")
                               .arg(programFolder));
    // On a server the server's own sign-in replaces the files' passwords.
    const QString year = yearConnection(s);
    const QString firm = firmConnection(s.Server, s.DataRoot, s.FirmNo);
    try {
        s.YearDb = openDatabase(year, YearTables);
    } catch (const data::DbError &e) {
        return startFailed(QStringLiteral("Cannot open the year database %1: %2").arg(yearDatabase(s), e.text()));
    }
    try {
        s.FirmDb = openDatabase(firm, FirmTables);
    } catch (const data::DbError &e) {
        s.YearDb.reset();
        return startFailed(QStringLiteral("Cannot open the firm database %1: %2").arg(firmDatabase(s), e.text()));
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
    const QString read = QStringLiteral("Select Col98 From ZoF05 Where Col99=?");
    if (increment && db.engine() == data::Engine::Server) {
        // One statement bumps a sound counter and hands back its number, atomic across workstations.
        for (;;) {
            const data::RowSet bumped =
                db.select(QStringLiteral("Update ZoF05 Set Col98 = Col98 + 1 Where Col99 = ? "
                                         "And Col98 Between 0 And 2147483646 Returning Col98 - 1"),
                          {series});
            if (!bumped.rows.isEmpty())
                return int(bumped.rows.first().first().toLongLong());
            // Says why the counter is refused, unless another program mended it meanwhile.
            counterValue(series, db.select(read, {series}));
        }
    }
    data::Transaction tx(db);
    const int next = counterValue(series, db.select(read, {series}));
    if (increment)
        db.execute(QStringLiteral("Update ZoF05 Set Col98=? Where Col99=?"), {qint64(next) + 1, series});
    tx.commit();
    return next;
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
