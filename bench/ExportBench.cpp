#include "BenchSupport.h"
#include "ScaledData.h"
#include "app/Family.h"
#include "app/Paths.h"
#include "ui/print/Export.h"
#include "ui/wizard/Preview.h"
#include <QFile>
#include <QTemporaryDir>

// The CSV export of the party wise sales over a year of a million voucher lines, as Export runs
// it: a read-only connection of its own, every line with the subtotals and the grand total, the
// file written beside its name and renamed. The baseline is the engine stepping the same rows.
namespace {

const QString &yearConnection()
{
    static QTemporaryDir root;
    static const QString connection = [] {
        makeScaledRoot(root.path(), Scale{});
        const auto year = data::Connection::open(app::yearConnectionString(root.path(), 1, 1));
        // The demo's voucher lines again and again, each copy on the same vouchers.
        while (year->select(QStringLiteral("Select Count(*) From ZoT52")).rows.value(0).value(0).toLongLong() < 1000000)
            year->execute(QStringLiteral("Insert Into ZoT52 Select * From ZoT52"));
        return app::yearConnectionString(root.path(), 1, 1);
    }();
    return connection;
}

// Party grouped and counted, amount sorted descending with its total and grand total, product.
const ReportQuery &partySales()
{
    static const ReportQuery query = reportQuery(
        {SelectedColumn({"M02", "Col98", "C", "Party Name", "Left", "2000", "0", "Asc", "None", "No", "Yes", "No"}),
         SelectedColumn({"T52", "Col93", "N", "Amount", "Right", "1500", "2", "None", "Desc", "Yes", "No", "Yes"}),
         SelectedColumn({"M20", "Col98", "C", "Product", "Left", "2500", "0", "None", "Asc", "No", "No", "No"})},
        app::reportFamily(QStringLiteral("PWR")).SourceFrom);
    return query;
}

report::Outcome exportCsv(const QString &path)
{
    const report::Report sales{{QStringLiteral("Party Wise Sales"), {}},
                               [](report::Sink &sink) {
                                   const auto db = data::Connection::open(yearConnection(), data::Access::ReadOnly);
                                   streamReport(*db, partySales(), sink);
                               },
                               {}};
    report::Progress progress;
    return report::writeReport(report::Target::Csv, path, nullptr, sales, progress);
}

void ExportCsv_program(benchmark::State &state)
{
    yearConnection();
    QTemporaryDir dir;
    for (auto _ : state) {
        const report::Outcome outcome = exportCsv(dir.filePath(QStringLiteral("sales.csv")));
        if (!outcome.error.isEmpty())
            state.SkipWithError(qPrintable(outcome.error));
        state.counters["lines"] = double(outcome.lines);
    }
}

void ExportCsv_baseline(benchmark::State &state)
{
    const auto db = data::Connection::open(yearConnection(), data::Access::ReadOnly);
    for (auto _ : state) {
        qint64 rows = 0;
        db->forEachRow(partySales().sql, {}, [&](const QVector<QVariant> &row) {
            benchmark::DoNotOptimize(row.constData());
            ++rows;
        });
        state.counters["rows"] = double(rows);
    }
}

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The most the process holds while the export runs, its peak reset just before: the lines are
// streamed, not collected.
void ExportMemory_program(benchmark::State &state)
{
    yearConnection();
    QTemporaryDir dir;
    for (auto _ : state) {
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1) {
            state.SkipWithError("the peak of the process cannot be reset");
            return;
        }
        reset.close();
        const long before = peakKb();
        exportCsv(dir.filePath(QStringLiteral("sales.csv")));
        state.counters["peak_MB"] = peakKb() / 1024.0;
        state.counters["growth_MB"] = (peakKb() - before) / 1024.0;
    }
}

} // namespace

BENCHMARK(ExportCsv_program)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(ExportCsv_baseline)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(ExportMemory_program)->Iterations(1)->Unit(benchmark::kMillisecond);
