#include "app/CommandLine.h"
#include "tests/fuzz/Check.h"
#include <cstddef>
#include <cstdint>

// The input is the argument list, one argument a line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const app::CommandLine line = app::parseCommandLine(text.split(QLatin1Char('\n')));
    if (!line.error.isEmpty()) {
        FUZZ_CHECK(line.error.endsWith(app::usageText()));
        return 0;
    }
    FUZZ_CHECK(line.firmNo >= 0 && line.firmNo <= 32767);
    FUZZ_CHECK(line.yearNo >= 0 && line.yearNo <= 32767);
    FUZZ_CHECK(line.runMode == QLatin1String("CTR") || line.runMode == QLatin1String("WIZARD"));
    // What was read, written back plainly, reads the same.
    const app::CommandLine again = app::parseCommandLine(
        {QStringLiteral("--run-mode=") + line.runMode, QStringLiteral("%1,%2").arg(line.firmNo).arg(line.yearNo)});
    FUZZ_CHECK(again.error.isEmpty() && again.firmNo == line.firmNo && again.yearNo == line.yearNo
               && again.runMode == line.runMode);
    return 0;
}
