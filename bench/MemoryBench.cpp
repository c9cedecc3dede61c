#include "BenchSupport.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>

namespace {

// VmHWM of a running process in kilobytes: the most it has held in memory so far.
long peakKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The real program started on the root, its list showing 100,000 definitions of the run mode
// (arg 0: cross-tab, arg 1: tabular). The program's folder must lie in the root, so it is copied
// there. Once its peak resident size has stood still for a second the list is up and that peak
// is reported.
void PeakMemory_program(benchmark::State &state)
{
    const QString folder = benchRoot() + QStringLiteral("/Rpt");
    const QString program = folder + QStringLiteral("/designer");
    QDir().mkpath(folder);
    QFile::remove(program);
    QFile::copy(QStringLiteral(DESIGNER_PROGRAM), program);
    double peakMb = 0;
    for (auto _ : state) {
        QStringList arguments{QStringLiteral("1,1")};
        if (state.range(0))
            arguments << QStringLiteral("--run-mode=WIZARD");
        QProcess child;
        child.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        child.start(program, arguments);
        if (!child.waitForStarted()) {
            state.SkipWithError("the program did not start");
            return;
        }
        const qint64 pid = child.processId();
        long last = -1;
        for (int still = 0; still < 10;) {
            QThread::msleep(100);
            const long now = peakKb(pid);
            still = now == last && now > 0 ? still + 1 : 0;
            last = now;
        }
        ::kill(pid, SIGTERM);
        child.waitForFinished();
        peakMb = last / 1024.0;
    }
    state.counters["peak_MB"] = peakMb;
}

} // namespace

BENCHMARK(PeakMemory_program)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
