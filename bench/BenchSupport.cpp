#include "BenchSupport.h"
#include "ScaledData.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "data/SqlCipherConnection.h"
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

QString benchRoot()
{
    // BENCH_ROOT keeps the root between runs: built there when it has no firm yet.
    static QTemporaryDir temporary;
    static const QString root = qEnvironmentVariableIsSet("BENCH_ROOT") ? qEnvironmentVariable("BENCH_ROOT")
                                                                        : temporary.path();
    static const bool built = [] {
        if (QFileInfo::exists(root + QStringLiteral("/Firm1")))
            return true;
        Scale scale;
        scale.crossTabs = 100000;
        scale.tabularReports = 100000;
        scale.userFields = 5000;
        scale.catalogueColumns = 10000;
        scale.customColumns = 1000;
        scale.bigReportColumns = 500;
        makeScaledRoot(root, scale);
        return true;
    }();
    Q_UNUSED(built);
    return root;
}

QString scaledYearRoot()
{
    static QTemporaryDir temporary;
    static const QString root = qEnvironmentVariableIsSet("BENCH_ROOT")
                                    ? qEnvironmentVariable("BENCH_ROOT") + QStringLiteral("/ScaledYear")
                                    : temporary.path();
    static const bool built = [] {
        if (!QFileInfo::exists(root + QStringLiteral("/Firm1")))
            makeScaledYear(root, ScaledYear{200000, 1000000, 3000, 2500});
        return true;
    }();
    Q_UNUSED(built);
    return root;
}

QString uniqueName(const QString &prefix)
{
    static const QString run = QString::number(QDateTime::currentMSecsSinceEpoch(), 36);
    static int count = 0;
    return prefix + run + QLatin1Char('-') + QString::number(++count);
}

void openRun(const QString &runMode)
{
    app::Settings &s = app::settings();
    if (!s.YearDb) {
        s.YearDb = data::Connection::open(app::yearConnectionString(benchRoot(), 1, 1));
        s.FirmDb = data::Connection::open(app::firmConnectionString(benchRoot(), 1));
        s.FirmNo = 1;
        s.YearNo = 1;
        s.DataRoot = benchRoot();
        app::setReportFamily(s, QStringLiteral("PWR"));
    }
    s.RunMode = runMode;
}

void queryIntoStrings(data::Connection &db, const QString &sql, const data::Params &params)
{
    std::vector<QString> cells;
    db.forEachRow(sql, params, [&](const QVector<QVariant> &row) {
        for (const QVariant &v : row)
            cells.push_back(v.toString());
    });
    benchmark::DoNotOptimize(cells.data());
}

namespace {

sqlite3 *handleOf(data::Connection &db)
{
    return dynamic_cast<data::SqlCipherConnection &>(db).handle();
}

void check(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

} // namespace

RawStatement::RawStatement(data::Connection &db, const char *sql)
{
    sqlite3 *h = handleOf(db);
    check(h, sqlite3_prepare_v2(h, sql, -1, &stmt_, nullptr));
}

RawStatement::~RawStatement()
{
    sqlite3_finalize(stmt_);
}

void RawStatement::bind(const QStringList &texts)
{
    sqlite3_reset(stmt_);
    for (int i = 0; i < texts.size(); ++i) {
        const QByteArray bytes = texts[i].toUtf8();
        sqlite3_bind_text(stmt_, i + 1, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    }
}

void RawStatement::run(const QStringList &texts)
{
    bind(texts);
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    check(sqlite3_db_handle(stmt_), rc);
}

qint64 RawStatement::value(const QStringList &texts)
{
    bind(texts);
    const int rc = sqlite3_step(stmt_);
    check(sqlite3_db_handle(stmt_), rc);
    return rc == SQLITE_ROW ? sqlite3_column_int64(stmt_, 0) : 0;
}

void rawExec(data::Connection &db, const char *sql)
{
    sqlite3 *h = handleOf(db);
    check(h, sqlite3_exec(h, sql, nullptr, nullptr, nullptr));
}
