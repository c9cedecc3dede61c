#include "app/Module1.h"
#include "support/ErrorOf.h"
#include "support/TestRoot.h"
#include <gtest/gtest.h>

TEST(GetRecNo, HandsOutTheCounterPerSeriesAndRefusesAMissingOrNullOne)
{
    TestRoot root(TestRoot::Demo);
    root.firm().execute("Update ZoF05 Set Col98=17 Where Col99='OTH'");
    const int mrn = root.counter("MRN");
    // Taken, read without taking, taken from another series; the counters after.
    EXPECT_EQ((QList<int>{app::GetRecNo("OTH", true), app::GetRecNo("OTH", false), app::GetRecNo("MRN", true),
                          root.counter("OTH"), root.counter("MRN")}),
              (QList<int>{17, 18, mrn, 18, mrn + 1}));

    EXPECT_EQ(codeOf([] { app::GetRecNo("XYZ", true); }), data::DbCode::Missing);
    // A counter that holds no record number is refused, named with its file, and left as it is, so
    // that a save taking a number changes nothing. A server's whole-number column holds no word or
    // fraction.
    QStringList bads{"NULL", "-3"};
    if (testServer().isEmpty())
        bads << "'seventeen'" << "17.5";
    for (const QString &bad : bads) {
        root.firm().execute(QString("Update ZoF05 Set Col98=%1 Where Col99='OTH'").arg(bad));
        const QVariant before = root.firm().select("Select Col98 From ZoF05 Where Col99='OTH'").rows[0][0];
        const auto take = [] { app::GetRecNo("OTH", true); };
        EXPECT_EQ(codeOf(take), data::DbCode::BadCounter) << bad.toStdString();
        EXPECT_TRUE(errorOf(take).contains("\"OTH\"")
                    && errorOf(take).contains(testServer().isEmpty() ? "/Firm1/Firm1.db" : "firm1 on the server"))
            << bad.toStdString();
        EXPECT_EQ(root.firm().select("Select Col98 From ZoF05 Where Col99='OTH'").rows[0][0], before) << bad.toStdString();
    }
    EXPECT_EQ(root.firm().select("Select count(*) From ZoF05").rows[0][0].toInt(), 2);

    // GetSqlValue gives the first value, or 0 when there is none.
    EXPECT_EQ(app::GetSqlValue("Select COUNT(ColRepName)  From ZoCTR  Where ColRepName=?", {"no such name"}), 0);
    EXPECT_EQ(app::GetSqlValue("Select ColRepType From ZoCTR Where 1=0"), 0);
    EXPECT_EQ(app::GetSqlValue("Select 2.5"), 2.5);
}
