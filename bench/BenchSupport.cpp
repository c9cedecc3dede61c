#include "BenchSupport.h"
#include "ScaledData.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "data/PgConnection.h"
#include "data/SqlCipherConnection.h"
#include "tools/copy/ServerCopy.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <libpq-fe.h>
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

namespace {

const QString ClusterScript = QStringLiteral(DESIGNER_SOURCE_DIR "/scripts/pg-cluster.sh");

QString &clusterFolder()
{
    static QString folder;
    return folder;
}

[[noreturn]] void giveUp(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    std::exit(1);
}

// Copies the moves onto the server unless an earlier run left them there (BENCH_SERVER).
void copyOnce(const QVector<servercopy::Move> &moves, const char *what)
{
    QElapsedTimer timer;
    timer.start();
    try {
        servercopy::copyToServer(benchServer(), moves);
    } catch (const servercopy::Refused &) {
        return;
    } catch (const std::exception &e) {
        giveUp(QStringLiteral("Copying %1 onto the server failed: %2").arg(QLatin1String(what), QString::fromUtf8(e.what())));
    }
    std::fprintf(stderr, "%s copied onto the server in %.1f s\n", what, timer.elapsed() / 1000.0);
}

} // namespace

QString benchServer()
{
    static const QString server = [] {
        if (qEnvironmentVariableIsSet("BENCH_SERVER"))
            return qEnvironmentVariable("BENCH_SERVER");
        clusterFolder() = qEnvironmentVariable("BENCH_SERVER_DIR",
                                               QStringLiteral("/tmp/designer-bench-pg-%1").arg(QCoreApplication::applicationPid()));
        std::atexit(stopBenchServer);
        static const std::terminate_handler next = std::set_terminate([] {
            stopBenchServer();
            next ? next() : std::abort();
        });
        QProcess start;
        start.start(ClusterScript, {QStringLiteral("start"), clusterFolder()});
        if (!start.waitForFinished(120000) || start.exitCode() != 0)
            giveUp(QStringLiteral("The benchmark's server did not start: ") + QString::fromLocal8Bit(start.readAllStandardError()));
        return QString::fromLocal8Bit(start.readAllStandardOutput()).trimmed();
    }();
    return server;
}

void stopBenchServer()
{
    if (clusterFolder().isEmpty())
        return;
    QProcess::execute(ClusterScript, {QStringLiteral("stop"), clusterFolder()});
    clusterFolder().clear();
}

void openRun(const QString &runMode, Provider provider)
{
    static Provider opened = Provider::File;
    app::Settings &s = app::settings();
    if (!s.YearDb || opened != provider) {
        s.YearDb.reset();
        s.FirmDb.reset();
        s.Server.clear();
        if (provider == Provider::Server) {
            static const bool copied = (copyOnce(servercopy::firmMoves(benchRoot(), 1, 1), "The benchmark's root"), true);
            Q_UNUSED(copied);
            s.Server = benchServer();
        }
        s.YearDb = data::Connection::open(app::yearConnection(s.Server, benchRoot(), 1, 1));
        s.FirmDb = data::Connection::open(app::firmConnection(s.Server, benchRoot(), 1));
        opened = provider;
        s.FirmNo = 1;
        s.YearNo = 1;
        s.DataRoot = benchRoot();
        app::setReportFamily(s, QStringLiteral("PWR"));
    }
    s.RunMode = runMode;
}

QString scaledYearConnection(Provider provider, const QString &root)
{
    if (provider == Provider::File)
        return app::yearConnectionString(root, 1, 1);
    static const bool copied = [] {
        const auto year = servercopy::firmMoves(scaledYearRoot(), 1, 1).first();
        copyOnce({{year.file, app::yearServerDatabase(2, 1), year.schemas}}, "The scaled year");
        return true;
    }();
    Q_UNUSED(copied);
    return app::serverConnectionString(benchServer(), app::yearServerDatabase(2, 1));
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

PGconn *serverOf(data::Connection &db)
{
    return db.engine() == data::Engine::Server ? dynamic_cast<data::PgConnection &>(db).handle() : nullptr;
}

// Runs a result of the server's: the first column of its first row as an integer, 0 without one.
qint64 checked(PGconn *db, PGresult *result)
{
    const ExecStatusType status = PQresultStatus(result);
    const qint64 value = status == PGRES_TUPLES_OK && PQntuples(result) > 0 ? QByteArray(PQgetvalue(result, 0, 0)).toLongLong() : 0;
    PQclear(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(PQerrorMessage(db));
    return value;
}

void check(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

} // namespace

RawStatement::RawStatement(data::Connection &db, const char *sql) : server_(serverOf(db))
{
    if (!server_) {
        sqlite3 *h = handleOf(db);
        check(h, sqlite3_prepare_v2(h, sql, -1, &stmt_, nullptr));
        return;
    }
    // The server numbers its parameters: $1, $2, ...
    QByteArray text;
    int marks = 0;
    for (const char *c = sql; *c; ++c)
        text += *c == '?' ? '$' + QByteArray::number(++marks) : QByteArray(1, *c);
    static int statements = 0;
    name_ = "raw" + QByteArray::number(++statements);
    checked(server_, PQprepare(server_, name_.constData(), text.constData(), 0, nullptr));
}

RawStatement::~RawStatement()
{
    if (server_)
        PQclear(PQexec(server_, ("DEALLOCATE " + name_).constData()));
    sqlite3_finalize(stmt_);
}

void RawStatement::bind(const QStringList &texts)
{
    sqlite3_reset(stmt_);
    for (int i = 0; i < texts.size(); ++i) {
        const QByteArray bytes = texts[i].toUtf8();
        if (texts[i].isNull())
            sqlite3_bind_null(stmt_, i + 1);
        else
            sqlite3_bind_text(stmt_, i + 1, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    }
}

namespace {

// Runs the server's prepared statement with the texts as its parameters.
PGresult *runPrepared(PGconn *db, const QByteArray &name, const QStringList &texts)
{
    std::vector<QByteArray> bytes;
    std::vector<const char *> values;
    for (const QString &text : texts)
        bytes.push_back(text.toUtf8());
    for (int i = 0; i < texts.size(); ++i)
        values.push_back(texts[i].isNull() ? nullptr : bytes[i].constData());
    return PQexecPrepared(db, name.constData(), int(values.size()), values.data(), nullptr, nullptr, 0);
}

} // namespace

void RawStatement::run(const QStringList &texts)
{
    if (server_) {
        checked(server_, runPrepared(server_, name_, texts));
        return;
    }
    bind(texts);
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    check(sqlite3_db_handle(stmt_), rc);
}

qint64 RawStatement::value(const QStringList &texts)
{
    if (server_)
        return checked(server_, runPrepared(server_, name_, texts));
    bind(texts);
    const int rc = sqlite3_step(stmt_);
    check(sqlite3_db_handle(stmt_), rc);
    return rc == SQLITE_ROW ? sqlite3_column_int64(stmt_, 0) : 0;
}

namespace {

void rawExec(data::Connection &db, const char *sql)
{
    if (PGconn *server = serverOf(db)) {
        checked(server, PQexec(server, sql));
        return;
    }
    sqlite3 *h = handleOf(db);
    check(h, sqlite3_exec(h, sql, nullptr, nullptr, nullptr));
}

} // namespace

void rawBegin(data::Connection &db)
{
    rawExec(db, serverOf(db) ? "BEGIN" : "BEGIN IMMEDIATE");
}

void rawCommit(data::Connection &db)
{
    rawExec(db, "COMMIT");
}
