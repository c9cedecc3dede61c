#include "app/Module1.h"
#include "support/TestRoot.h"
#include <gtest/gtest.h>

TEST(GetRecNo, HandsOutTheCounterPerSeriesAndRefusesAMissingOrNullOne)
{
    TestRoot root(TestRoot::Demo);
    root.firm().execute("Update ZoF05 Set Col98=17 Where Col99='OTH'");
    const int mrn = root.counter("MRN");
    EXPECT_EQ(app::GetRecNo("OTH", true), 17);
    EXPECT_EQ(app::GetRecNo("OTH", false), 18);
    EXPECT_EQ(app::GetRecNo("MRN", true), mrn);
    EXPECT_EQ(root.counter("OTH"), 18);
    EXPECT_EQ(root.counter("MRN"), mrn + 1);

    EXPECT_THROW(app::GetRecNo("XYZ", true), std::exception);
    root.firm().execute("Update ZoF05 Set Col98=NULL Where Col99='OTH'");
    EXPECT_THROW(app::GetRecNo("OTH", true), std::exception);
    EXPECT_EQ(root.firm().select("Select count(*) From ZoF05").rows[0][0].toInt(), 2);

    // GetSqlValue gives the first value, or 0 when there is none.
    EXPECT_EQ(app::GetSqlValue("Select COUNT(ColRepName)  From ZoCTR  Where ColRepName=?", {"no such name"}), 0);
    EXPECT_EQ(app::GetSqlValue("Select ColRepType From ZoCTR Where 0"), 0);
    EXPECT_EQ(app::GetSqlValue("Select 2.5"), 2.5);
}
