#include "BenchSupport.h"
#include "StartUp.h"
#include "Summary.h"
#include "app/Messages.h"
#include <QApplication>
#include <cstdio>

namespace {

const bool ShowMessages = qEnvironmentVariableIsSet("BENCH_SHOW_MESSAGES");

// Nobody watches a benchmark: every message box takes its default answer. BENCH_SHOW_MESSAGES
// prints them, and Qt's own warnings, when a case misbehaves.
class SilentMessages : public app::MessageSeam {
public:
    app::Answer ask(const app::Message &message) override
    {
        if (ShowMessages)
            qWarning("message box: %s", qPrintable(message.prompt));
        return message.defaultButton;
    }
};

void quietQt(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (ShowMessages || type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    QApplication application(argc, argv);
    SilentMessages silent;
    app::setMessages(&silent);
    if (argc == 3 && isStartUpChild(argv[1]))
        return runStartUpChild(argv[1], argv[2]);
    if (argc == 3 && isPreviewMemoryChild(argv[1]))
        return runPreviewMemoryChild(argv[1], argv[2]);
    benchmark::Initialize(&argc, argv);
    // A misspelt option would otherwise be ignored and every case run.
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    stopBenchServer();
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
