#pragma once
#include "data/Connection.h"
#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <vector>

// Every case reports milliseconds and the median of five repetitions.
#define DESIGNER_CASE(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

// Where a case's data live: the encrypted files, or the same rows copied onto the run's
// throwaway server. A case run on both has the provider as its first argument, named "server":
// ->ArgsProduct({Providers, ...})->ArgNames({"server", ...}); --benchmark_filter=server:0 runs
// the files' cases alone.
enum class Provider { File, Server };
inline const std::vector<int64_t> Providers{0, 1};
inline Provider providerOf(const benchmark::State &state)
{
    return state.range(0) ? Provider::Server : Provider::File;
}

// The run's throwaway server (scripts/pg-cluster.sh), started on first use in BENCH_SERVER_DIR
// or a folder of its own; BENCH_SERVER names a running server to use instead. stopBenchServer
// stops the one started, and is called also when the program ends by exit or by an exception.
QString benchServer();
void stopBenchServer();

// The one data root every case runs on, a hundred times a real firm's data: 100,000 cross-tab
// and 100,000 tabular definitions, 5,000 user fields, 10,000 catalogue columns, 1,000 custom
// columns and a stored report "CRFBIG" with 500 columns. Built on first use.
QString benchRoot();

// A data root of its own whose year is a large firm's: 200,000 vouchers with 1,000,000 voucher
// lines, 3,000 parties and 2,500 products. Built on first use; under BENCH_ROOT it is kept in the
// folder "ScaledYear".
QString scaledYearRoot();

// Names and codes of what a case stores: unique over every run, a kept root included.
QString uniqueName(const QString &prefix);

// Opens the root's databases on the provider as the run's (again when the provider changes) and
// sets the run mode. On the server they are the root's firm 1, copied there on first use.
void openRun(const QString &runMode, Provider provider = Provider::File);

// The scaled year's connection string: its file under root, or its copy on the server (as firm 2,
// year 1, beside the root's firm 1), made on first use.
QString scaledYearConnection(Provider provider, const QString &root = scaledYearRoot());

// The least the engine needs for a read: the query stepped into plain strings.
void queryIntoStrings(data::Connection &db, const QString &sql, const data::Params &params = {});

// Runs sql ('?' marks its parameters) through the engine's own interface: prepared once, then
// bound and run for each set of parameters, a null text bound as a null.
class RawStatement {
public:
    RawStatement(data::Connection &db, const char *sql);
    ~RawStatement();
    RawStatement(const RawStatement &) = delete;
    RawStatement &operator=(const RawStatement &) = delete;
    void run(const QStringList &texts);
    // Runs once and returns the first column of the first row as an integer.
    qint64 value(const QStringList &texts);

private:
    void bind(const QStringList &texts);
    struct sqlite3_stmt *stmt_ = nullptr; // on a file
    struct pg_conn *server_ = nullptr;    // on the server: the statement is prepared there by name
    QByteArray name_;
};

// A write transaction begun and committed through the engine directly.
void rawBegin(data::Connection &db);
void rawCommit(data::Connection &db);
