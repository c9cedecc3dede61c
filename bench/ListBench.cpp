#include "ScaledData.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "data/Connection.h"
#include "ui/list/Form1.h"
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

const QString CrossTabQuery = QStringLiteral("Select Col99,ColRepName,ColRepDesc From ZoCTR Order By ColRepName");
const QString TabularQuery = QStringLiteral("Select ColCode,ColReportName  From CrMain Order By ColReportName  ");

// One root with 100,000 cross-tab and 100,000 tabular definitions, built on first use.
QString bigRoot()
{
    static QTemporaryDir dir;
    static const bool built = [] {
        Scale scale;
        scale.crossTabs = 100000;
        scale.tabularReports = 100000;
        makeScaledRoot(dir.path(), scale);
        return true;
    }();
    Q_UNUSED(built);
    return dir.path();
}

void openRun(const QString &runMode)
{
    app::Settings &s = app::settings();
    if (!s.YearDb) {
        s.YearDb = data::Connection::open(app::yearConnectionString(bigRoot(), 1, 1));
        s.FirmDb = data::Connection::open(app::firmConnectionString(bigRoot(), 1));
        app::setReportFamily(s, QStringLiteral("PWR"));
    }
    s.RunMode = runMode;
}

// The least the engine needs for the list: the query stepped into plain strings.
void queryIntoStrings(data::Connection &db, const QString &sql)
{
    std::vector<QString> cells;
    db.forEachRow(sql, {}, [&](const QVector<QVariant> &row) {
        for (const QVariant &v : row)
            cells.push_back(v.toString());
    });
    benchmark::DoNotOptimize(cells.data());
}

void StartUp_program(benchmark::State &state)
{
    const QString root = bigRoot();
    for (auto _ : state) {
        state.PauseTiming();
        Form1::instance().hide();
        app::settings().YearDb.reset();
        app::settings().FirmDb.reset();
        QApplication::processEvents();
        state.ResumeTiming();
        app::Main({QStringLiteral("1,1")}, root + QStringLiteral("/Rpt"));
        // Shown means exposed and activated, which reloads the list.
        if (!QTest::qWaitForWindowActive(&Form1::instance()))
            state.SkipWithError("the list was not shown");
    }
    Form1::instance().hide();
}

void StartUp_baseline(benchmark::State &state)
{
    const QString root = bigRoot();
    for (auto _ : state) {
        auto year = data::Connection::open(app::yearConnectionString(root, 1, 1));
        auto firm = data::Connection::open(app::firmConnectionString(root, 1));
        queryIntoStrings(*year, CrossTabQuery);
    }
}

void ListReload_program(benchmark::State &state)
{
    openRun(state.range(0) ? QStringLiteral("WIZARD") : QStringLiteral("CTR"));
    for (auto _ : state)
        Form1::instance().DataSelect();
}

void ListReload_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"));
    for (auto _ : state)
        queryIntoStrings(app::YearDb(), state.range(0) ? TabularQuery : CrossTabQuery);
}

} // namespace

#define DESIGNER_CASE(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

DESIGNER_CASE(StartUp_program)->Iterations(3);
DESIGNER_CASE(StartUp_baseline)->Iterations(3);
DESIGNER_CASE(ListReload_program)->Arg(0)->Arg(1);
DESIGNER_CASE(ListReload_baseline)->Arg(0)->Arg(1);
