#pragma once
#include "data/Connection.h"
#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>

// Every case reports milliseconds and the median of five repetitions.
#define DESIGNER_CASE(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

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

// Opens the root's databases as the run's (once) and sets the run mode.
void openRun(const QString &runMode);

// The least the engine needs for a read: the query stepped into plain strings.
void queryIntoStrings(data::Connection &db, const QString &sql, const data::Params &params = {});

// Runs sql through the engine's own interface: prepared once, bound, stepped and reset for each
// set of parameters.
class RawStatement {
public:
    RawStatement(data::Connection &db, const char *sql);
    ~RawStatement();
    void run(const QStringList &texts);
    // Steps once and returns the first column as an integer.
    qint64 value(const QStringList &texts);

private:
    void bind(const QStringList &texts);
    struct sqlite3_stmt *stmt_;
};

// Runs a statement without parameters through the engine directly.
void rawExec(data::Connection &db, const char *sql);
