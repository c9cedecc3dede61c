#include "BenchSupport.h"
#include "app/Module1.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/TextBox.h"
#include <QTimer>

namespace {

void fill(TextBox *box, const QString &caption, const QString &expression)
{
    box->setText(caption);
    box->tag = expression;
}

// A new definition typed into the real window and saved with its Save button's handler.
void CrossTabSave_program(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"));
    SelectionScreen &window = SelectionScreen::instance();
    for (auto _ : state) {
        state.PauseTiming();
        bool failed = false;
        QTimer::singleShot(0, &window, [&] {
            const QString name = uniqueName(QStringLiteral("Bench cross-tab "));
            window.txtReportName->setText(name);
            window.txtReportDesc->setText(name);
            fill(window.txtRowData, QStringLiteral("Party Name"), QStringLiteral("M02.Col98"));
            fill(window.txtColData, QStringLiteral("City Name"), QStringLiteral("M02.Col88"));
            fill(window.txtDispData, QStringLiteral("Opening Amount"), QStringLiteral("M02.Col80"));
            state.ResumeTiming();
            window.cmdSave_Click();
            state.PauseTiming();
            failed = window.isVisible();
            if (failed)
                window.cmdCancel_Click();
        });
        window.EntryType(0, QString());
        if (failed) {
            state.SkipWithError("the definition was not saved");
            break;
        }
        state.ResumeTiming();
    }
}

void CrossTabSave_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"));
    data::Connection &db = app::YearDb();
    RawStatement insert(db, "Insert Into ZoCTR (Col99, ColRepName, ColRepDesc, ColRowData, ColColData, ColDispData, "
                            "ColGroupField, ColIsGrouping, ColRowDataName, ColColDataName, ColDispDataName, "
                            "ColGroupFieldName, ColRepType) Values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (auto _ : state) {
        const QString name = uniqueName(QStringLiteral("Raw cross-tab "));
        rawExec(db, "BEGIN IMMEDIATE");
        insert.run({name, name, name, QStringLiteral("M02.Col98"),
                    QStringLiteral("M02.Col88"), QStringLiteral("M02.Col80"), QString(), QStringLiteral("0"),
                    QStringLiteral("Party Name"), QStringLiteral("City Name"), QStringLiteral("Opening Amount"),
                    QString(), QStringLiteral("0")});
        rawExec(db, "COMMIT");
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
        rawExec(db, "BEGIN IMMEDIATE");
        const qint64 next = read.value({QStringLiteral("OTH")});
        update.run({QString::number(next + 1), QStringLiteral("OTH")});
        rawExec(db, "COMMIT");
    }
}

} // namespace

DESIGNER_CASE(CrossTabSave_program);
DESIGNER_CASE(CrossTabSave_baseline);
BENCHMARK(RecordNumber_program)->Unit(benchmark::kMillisecond)->Iterations(10000)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(RecordNumber_baseline)->Unit(benchmark::kMillisecond)->Iterations(10000)->Repetitions(3)->ReportAggregatesOnly(true);
