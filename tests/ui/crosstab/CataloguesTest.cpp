#include "ui/crosstab/Catalogues.h"
#include <gtest/gtest.h>

// Each catalogue's size with its first and last entries, blanks included; a code of any other
// form has none.
TEST(FieldCatalogues, HoldTheirEntriesExactlyAsDesigned)
{
    QStringList shown;
    for (const char *code : {"RC0", "RC1", "RC2", "D0", "D1", "D2", "", "RC3", "D3", "rc0", "RC", " RC0", "RC00"}) {
        const QVector<crosstab::CatalogueEntry> entries = crosstab::fixedEntries(QLatin1String(code));
        QString line = QStringLiteral("%1 %2").arg(QLatin1String(code)).arg(entries.size());
        if (!entries.isEmpty())
            line += ": " + entries.first().caption + "=" + entries.first().expression + " .. " +
                    entries.last().caption + "=" + entries.last().expression;
        shown << line;
    }
    EXPECT_EQ(shown.join('\n').toStdString(),
              "RC0 21: Party Name=M02.Col98 .. Sales Man=M02.ColSMName\n"
              "RC1 9: Product Name (Print)=M20.ColExcPNameNew .. Product Weight=M20.ColWeight\n"
              "RC2 10: Party Name=M02.Col98 .. Sales Man=M02.ColSMName\n"
              "D0 18: Sale Amount=IIF( Left(T52.Col99,3) In ('SDC','SCC')  , T52.Col93,0)  .. "
              "Net Purc. Qty * Prod.Mastet -> Weight =IIF( Left(T52.Col99,1) = 'P'  , T52.Col95 * M20.ColWeight * "
              "IIF(T52.Col90='I',-1,1)  ,0) \n"
              "D1 8: Opening Quantity=M20.OpQty .. Closing Quantity * Prod. Mast.Weight=M20.ClQty * M20.ColWeight\n"
              "D2 4: Opening Amount=M02.Col80 .. Closing Amount=M02.Col77\n"
              " 0\nRC3 0\nD3 0\nrc0 0\nRC 0\n RC0 0\nRC00 0");
}
