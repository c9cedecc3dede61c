#include "tests/fuzz/Check.h"
#include "ui/grid/FormatString.h"
#include "ui/wizard/ReportText.h"
#include <cstddef>
#include <cstdint>

// The input is the selected grid: one row a line, cells separated by tabs.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    QVector<SelectedColumn> rows;
    for (const QString &line : text.split(QLatin1Char('\n')))
        rows << SelectedColumn(line.split(QLatin1Char('\t')));
    if (rows.size() > 400)
        return 0;
    const ReportText t = buildReportText(rows, QStringLiteral(" ,M02.Col99 "), QStringLiteral(" FROM ZoT51 AS T51 "));
    FUZZ_CHECK(t.groupCount >= 0 && t.groupCount <= rows.size());
    FUZZ_CHECK(t.sql.startsWith(QLatin1String("Select ")));
    FUZZ_CHECK(t.sql.endsWith(QLatin1String(" ,M02.Col99   FROM ZoT51 AS T51 ")));
    FUZZ_CHECK(t.formatStr.startsWith(QLatin1String("Cod")));
    FUZZ_CHECK(parseFormatString(t.formatStr).size() >= rows.size() + 1);
    for (int r = 0; r < rows.size(); ++r) {
        const data::Params child = childRow(QStringLiteral("CRF1"), rows[r], r + 1);
        FUZZ_CHECK(child.size() == 15);
        FUZZ_CHECK(child[14].toInt() == r + 1);
    }
    return 0;
}
