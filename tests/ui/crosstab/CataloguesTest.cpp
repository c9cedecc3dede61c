#include "app/Module1.h"
#include "data/JetSql.h"
#include "support/TestRoot.h"
#include "ui/crosstab/Catalogues.h"
#include <gtest/gtest.h>

// Every catalogue entry runs over the family's source on the demo year.
TEST(Catalogues, EveryEntryRunsOverTheFamilysSource)
{
    TestRoot root;
    for (const char *slot : {"RC0", "RC1", "RC2", "D0", "D1", "D2"})
        for (const crosstab::CatalogueEntry &e : crosstab::fixedEntries(QLatin1String(slot)))
            EXPECT_NO_THROW(root.year().select(data::translateStatement(
                "SELECT " + e.expression + app::settings().SourceFrom, root.year().engine())))
                << slot << " " << e.caption.toStdString();
}
