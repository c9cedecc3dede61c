#include "StartUp.h"
#include "Summary.h"
#include "app/Messages.h"
#include <QApplication>

namespace {

// Nobody watches a benchmark: every message box takes its default answer.
class SilentMessages : public app::MessageSeam {
public:
    app::Answer ask(const app::Message &message) override { if (qEnvironmentVariableIsSet("BENCH_SHOW_MESSAGES")) qWarning("message: %s", qPrintable(message.prompt)); return message.defaultButton; }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    SilentMessages silent;
    app::setMessages(&silent);
    if (argc == 3 && isStartUpChild(argv[1]))
        return runStartUpChild(argv[1], argv[2]);
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
