#include "app/Module1.h"
#include "support/TestRoot.h"
#include <gtest/gtest.h>

TEST(MakeDecFormat, AppendsOneZeroPerDecimalPlace)
{
    EXPECT_EQ(app::MakeDecFormat(2), "##########0.00");
    EXPECT_EQ(app::MakeDecFormat(0), "##########0.");
    EXPECT_EQ(app::MakeDecFormat(-3), "##########0.");
    EXPECT_EQ(app::MakeDecFormat(5), "##########0.00000");
}

TEST(GetRecNo, HandsOutTheCounterAndLeavesItOneHigher)
{
    TestRoot root(TestRoot::Demo);
    root.firm().execute("Update ZoF05 Set Col98=17 Where Col99='OTH'");
    EXPECT_EQ(app::GetRecNo("OTH", true), 17);
    EXPECT_EQ(root.counter("OTH"), 18);
    EXPECT_EQ(app::GetRecNo("OTH", true), 18);
    EXPECT_EQ(app::GetRecNo("OTH", false), 19);
    EXPECT_EQ(root.counter("OTH"), 19);
    const int mrn = root.counter("MRN");
    EXPECT_EQ(app::GetRecNo("MRN", true), mrn);
    EXPECT_EQ(root.counter("OTH"), 19) << "series are counted apart";
}

TEST(GetRecNo, RefusesAMissingSeriesAndANullCounterWithoutWriting)
{
    TestRoot root(TestRoot::Empty);
    EXPECT_THROW(app::GetRecNo("XYZ", true), std::exception);
    root.firm().execute("Update ZoF05 Set Col98=NULL Where Col99='OTH'");
    EXPECT_THROW(app::GetRecNo("OTH", true), std::exception);
    EXPECT_EQ(root.firm().select("Select count(*) From ZoF05").rows[0][0].toInt(), 2);
}

TEST(GetSqlValue, GivesTheFirstValueOrZero)
{
    TestRoot root(TestRoot::Demo);
    EXPECT_EQ(app::GetSqlValue("Select COUNT(ColRepName)  From ZoCTR  Where ColRepName=?", {"no such name"}), 0);
    EXPECT_EQ(app::GetSqlValue("Select ColRepType From ZoCTR Where 0"), 0);
    EXPECT_EQ(app::GetSqlValue("Select 2.5"), 2.5);
}
