#include "tests/fuzz/Check.h"
#include "ui/grid/FormatString.h"
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString format = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QVector<FormatColumn> columns = parseFormatString(format);
    FUZZ_CHECK(columns.size() == format.count(QLatin1Char('|')) + 1);
    // Every character is a separator, an alignment mark or part of a caption, in order.
    QStringList parts;
    for (const FormatColumn &c : columns) {
        FUZZ_CHECK(!c.caption.contains(QLatin1Char('|')));
        FUZZ_CHECK(c.alignment == Qt::AlignLeft || c.alignment == Qt::AlignRight);
        parts << c.caption;
    }
    int marks = 0;
    for (const QString &part : format.split(QLatin1Char('|')))
        marks += part.startsWith(QLatin1Char('<')) || part.startsWith(QLatin1Char('>'));
    FUZZ_CHECK(parts.join(QLatin1Char('|')).size() + marks == format.size());
    return 0;
}
