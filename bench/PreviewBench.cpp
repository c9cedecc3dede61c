#include "BenchSupport.h"
#include "StartUp.h"
#include "app/Family.h"
#include "app/Paths.h"
#include "ui/crosstab/CrossPivot.h"
#include "ui/print/Export.h"
#include "ui/wizard/Preview.h"
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

// The previews on a large firm's year. Each baseline is the engine running the same statement,
// stepping every row into values: the wizard's ordered rows, the cross-tab's grouped sums. Like
// the previews, which read on a connection of their own, every run opens its connection.
namespace {

#define PREVIEW_CASE(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true)

std::unique_ptr<data::Connection> openScaledYear(Provider provider)
{
    return data::Connection::open(scaledYearConnection(provider), data::Access::ReadOnly);
}

const QString &sourceFrom()
{
    static const QString from = app::reportFamily(QStringLiteral("PWR")).SourceFrom;
    return from;
}

data::Engine engineOf(Provider provider)
{
    return provider == Provider::Server ? data::Engine::Server : data::Engine::File;
}

// Party wise sales: party grouped and counted, amount sorted descending with its total and grand
// total, product sorted; written for the provider's engine.
const ReportQuery &partySales(Provider provider = Provider::File)
{
    static const auto query = [](Provider p) {
        return reportQuery(
            {SelectedColumn({"M02", "Col98", "C", "Party Name", "Left", "2000", "0", "Asc", "None", "No", "Yes", "No"}),
             SelectedColumn({"T52", "Col93", "N", "Amount", "Right", "1500", "2", "None", "Desc", "Yes", "No", "Yes"}),
             SelectedColumn({"M20", "Col98", "C", "Product", "Left", "2500", "0", "None", "Asc", "No", "No", "No"})},
            sourceFrom(), engineOf(p));
    };
    static const ReportQuery queries[] = {query(Provider::File), query(Provider::Server)};
    return queries[provider == Provider::Server];
}

void stepEveryRow(benchmark::State &state, const QString &sql, Provider provider)
{
    for (auto _ : state) {
        qint64 rows = 0;
        openScaledYear(provider)->forEachRow(sql, {}, [&](const QVector<QVariant> &row) {
            benchmark::DoNotOptimize(row.constData());
            ++rows;
        });
        state.counters["rows"] = double(rows);
    }
}

// What the Preview button runs: its own connection, the first thousand rows, every total.
PreviewResult previewPartySales(Provider provider, const QString &root = scaledYearRoot())
{
    PreviewJob job;
    return job.run(scaledYearConnection(provider, root), partySales(provider), 1000);
}

void WizardPreview_program(benchmark::State &state)
{
    const Provider provider = providerOf(state);
    for (auto _ : state) {
        const PreviewResult result = previewPartySales(provider);
        if (!result.error.isEmpty())
            state.SkipWithError(qPrintable(result.error));
        state.counters["rows"] = double(result.dataRows);
    }
}

void WizardPreview_baseline(benchmark::State &state)
{
    stepEveryRow(state, partySales(providerOf(state)).sql, providerOf(state));
}

// Party by month, grouped by city.
const crosstab::CrossDefinition PartyByMonth{0, QStringLiteral("M02.Col98"), QStringLiteral("Month (T51.Col98) "),
                                             QStringLiteral("T52.Col93"), QStringLiteral("M02.Col88")};

void CrossPreview_program(benchmark::State &state)
{
    const Provider provider = providerOf(state);
    for (auto _ : state) {
        const crosstab::Pivot pivot = crosstab::loadPivot(*openScaledYear(provider), PartyByMonth, sourceFrom());
        state.counters["lines"] = double(pivot.lines.size());
    }
}

void CrossPreview_baseline(benchmark::State &state)
{
    stepEveryRow(state, crosstab::pivotSql(PartyByMonth, sourceFrom(), engineOf(providerOf(state))), providerOf(state));
}

// The CSV export as Export runs it: a read-only connection of its own, every line with the
// subtotals and the grand total, the file written beside its name and renamed.
report::Outcome exportPartySales(const QString &root = scaledYearRoot())
{
    static QTemporaryDir dir;
    const QString year = scaledYearConnection(Provider::File, root);
    const report::Report sales{{QStringLiteral("Party Wise Sales"), {}},
                               [year](report::Sink &sink) {
                                   const auto db = data::Connection::open(year, data::Access::ReadOnly);
                                   streamReport(*db, partySales(), sink);
                               },
                               {}};
    report::Progress progress;
    return report::writeReport(report::Target::Csv, dir.filePath(QStringLiteral("sales.csv")), nullptr, sales,
                               progress);
}

void ExportCsv_program(benchmark::State &state)
{
    scaledYearRoot();
    for (auto _ : state) {
        const report::Outcome outcome = exportPartySales();
        if (!outcome.error.isEmpty())
            state.SkipWithError(qPrintable(outcome.error));
        state.counters["lines"] = double(outcome.lines);
    }
}

void ExportCsv_baseline(benchmark::State &state)
{
    stepEveryRow(state, partySales().sql, Provider::File);
}

// The most a fresh process holds when it has previewed (arg 0) or exported (arg 1) the report:
// the benchmark starts itself with the option, and the child prints its peak resident size.
const char *const MemoryOptions[] = {"--preview-memory-child", "--export-memory-child"};

void PreviewMemory_program(benchmark::State &state)
{
    scaledYearRoot();
    double peakMb = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QLatin1String(MemoryOptions[state.range(0)]), scaledYearRoot()});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            state.SkipWithError("the child process failed");
            return;
        }
        peakMb = child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
    }
    state.counters["peak_MB"] = peakMb;
}

} // namespace

PREVIEW_CASE(WizardPreview_program)->ArgsProduct({Providers})->ArgNames({"server"});
PREVIEW_CASE(WizardPreview_baseline)->ArgsProduct({Providers})->ArgNames({"server"});
PREVIEW_CASE(CrossPreview_program)->ArgsProduct({Providers})->ArgNames({"server"});
PREVIEW_CASE(CrossPreview_baseline)->ArgsProduct({Providers})->ArgNames({"server"});
PREVIEW_CASE(ExportCsv_program);
PREVIEW_CASE(ExportCsv_baseline);
BENCHMARK(PreviewMemory_program)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

bool isPreviewMemoryChild(const char *option)
{
    return std::strcmp(option, MemoryOptions[0]) == 0 || std::strcmp(option, MemoryOptions[1]) == 0;
}

int runPreviewMemoryChild(const char *option, const char *root)
{
    const QString year = QString::fromLocal8Bit(root);
    const bool failed = std::strcmp(option, MemoryOptions[0]) == 0 ? !previewPartySales(Provider::File, year).error.isEmpty()
                                                                     : !exportPartySales(year).error.isEmpty();
    if (failed)
        return 1;
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::printf("%s\n", line.mid(6).trimmed().split(' ').first().constData());
    std::fflush(stdout);
    std::_Exit(0);
}
