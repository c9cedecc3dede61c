#include "BenchSupport.h"
#include "StartUp.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "ui/list/Form1.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>

namespace {

const QString CrossTabQuery = QStringLiteral("Select Col99,ColRepName,ColRepDesc From ZoCTR Order By ColRepName");
const QString TabularQuery = QStringLiteral("Select ColCode,ColReportName  From CrMain Order By ColReportName  ");
const char ProgramOption[] = "--startup-program";
const char BaselineOption[] = "--startup-baseline";

// Runs one child and takes the time it reports.
void startUpCase(benchmark::State &state, const char *option)
{
    const QString root = benchRoot();
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(option), root});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            state.SkipWithError("the start-up child failed");
            return;
        }
        state.SetIterationTime(child.readAllStandardOutput().trimmed().toDouble() / 1000.0);
    }
}

void StartUp_program(benchmark::State &state) { startUpCase(state, ProgramOption); }
void StartUp_baseline(benchmark::State &state) { startUpCase(state, BaselineOption); }

// Arg 1: the cross-tab list (0) or the tabular one (1).
void ListReload_program(benchmark::State &state)
{
    openRun(state.range(1) ? QStringLiteral("WIZARD") : QStringLiteral("CTR"), providerOf(state));
    for (auto _ : state)
        Form1::instance().DataSelect();
}

void ListReload_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"), providerOf(state));
    for (auto _ : state)
        queryIntoStrings(app::YearDb(), state.range(1) ? TabularQuery : CrossTabQuery);
}

} // namespace

bool isStartUpChild(const char *option)
{
    return std::strcmp(option, ProgramOption) == 0 || std::strcmp(option, BaselineOption) == 0;
}

int runStartUpChild(const char *option, const char *rootText)
{
    const QString root = QString::fromLocal8Bit(rootText);
    QElapsedTimer timer;
    timer.start();
    if (std::strcmp(option, ProgramOption) == 0) {
        // Shown means loaded, exposed and activated, as the user first sees it.
        if (app::Main({QStringLiteral("1,1")}, root + QStringLiteral("/Rpt")) != 0
            || !QTest::qWaitForWindowActive(&Form1::instance()))
            return 1;
    } else {
        auto year = data::Connection::open(app::yearConnectionString(root, 1, 1));
        auto firm = data::Connection::open(app::firmConnectionString(root, 1));
        queryIntoStrings(*year, CrossTabQuery);
    }
    std::printf("%.3f\n", timer.nsecsElapsed() / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}

DESIGNER_CASE(StartUp_program)->Iterations(3)->UseManualTime();
DESIGNER_CASE(StartUp_baseline)->Iterations(3)->UseManualTime();
DESIGNER_CASE(ListReload_program)->ArgsProduct({Providers, {0, 1}})->ArgNames({"server", ""});
DESIGNER_CASE(ListReload_baseline)->ArgsProduct({Providers, {0, 1}})->ArgNames({"server", ""});
