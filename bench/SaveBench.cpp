#include "BenchSupport.h"
#include "app/Module1.h"
#include "ui/crosstab/CrossTabStore.h"

namespace {

// A new definition stored as the window's Save stores it.
void CrossTabSave_program(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"), providerOf(state));
    for (auto _ : state) {
        const QString name = uniqueName(QStringLiteral("Bench cross-tab "));
        const crosstab::CrossTabDefinition d{name, name, QStringLiteral("M02.Col98"), QStringLiteral("M02.Col88"),
                                             QStringLiteral("M02.Col80"), QString(), 0, QStringLiteral("Party Name"),
                                             QStringLiteral("City Name"), QStringLiteral("Opening Amount"), QString(), 0};
        QString recNo;
        if (crosstab::saveCrossTab(app::YearDb(), recNo, d, nullptr) != app::SaveResult::Saved) {
            state.SkipWithError("the definition was not saved");
            break;
        }
    }
}

void CrossTabSave_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"), providerOf(state));
    data::Connection &db = app::YearDb();
    RawStatement insert(db, "Insert Into ZoCTR (Col99, ColRepName, ColRepDesc, ColRowData, ColColData, ColDispData, "
                            "ColGroupField, ColIsGrouping, ColRowDataName, ColColDataName, ColDispDataName, "
                            "ColGroupFieldName, ColRepType) Values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (auto _ : state) {
        const QString name = uniqueName(QStringLiteral("Raw cross-tab "));
        rawBegin(db);
        insert.run({name, name, name, QStringLiteral("M02.Col98"),
                    QStringLiteral("M02.Col88"), QStringLiteral("M02.Col80"), QString(), QStringLiteral("0"),
                    QStringLiteral("Party Name"), QStringLiteral("City Name"), QStringLiteral("Opening Amount"),
                    QString(), QStringLiteral("0")});
        rawCommit(db);
    }
}

// One iteration is one number handed out.
void RecordNumber_program(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"));
    for (auto _ : state)
        benchmark::DoNotOptimize(app::GetRecNo(QStringLiteral("OTH")));
}

void RecordNumber_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"));
    data::Connection &db = app::FirmDb();
    RawStatement read(db, "Select Col98 From ZoF05 Where Col99=?");
    RawStatement update(db, "Update ZoF05 Set Col98=? Where Col99=?");
    for (auto _ : state) {
        rawBegin(db);
        const qint64 next = read.value({QStringLiteral("OTH")});
        update.run({QString::number(next + 1), QStringLiteral("OTH")});
        rawCommit(db);
    }
}

} // namespace

DESIGNER_CASE(CrossTabSave_program)->ArgsProduct({Providers})->ArgNames({"server"});
DESIGNER_CASE(CrossTabSave_baseline)->ArgsProduct({Providers})->ArgNames({"server"});
BENCHMARK(RecordNumber_program)->Unit(benchmark::kMillisecond)->Iterations(10000)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(RecordNumber_baseline)->Unit(benchmark::kMillisecond)->Iterations(10000)->Repetitions(3)->ReportAggregatesOnly(true);
