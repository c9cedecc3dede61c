#include "tools/demo/DemoData.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Far more distinct statements than the connection keeps compiled, run while a read of the same
// connection is still stepping: the oldest kept ones make room, and the one in use is never
// among them.
TEST(StatementStore, StatementsBeyondTheKeptOnesRunRightWhileAnotherIsStillStepping)
{
    QTemporaryDir dir;
    const demo::DemoFiles files = demo::makeEmptyData(dir.path(), 1, 1);
    data::Connection &db = *files.year;
    db.execute("Insert Into ZoM35 (Col99, Col98) Values ('A', 'a'), ('B', 'b'), ('C', 'c')");
    QStringList seen;
    db.forEachRow("Select Col99 From ZoM35 Order By Col99", {}, [&](const QVector<QVariant> &row) {
        int sum = 0;
        for (int i = 0; i < 150; ++i)
            sum += db.select(QStringLiteral("Select %1 + count(*) From ZoM35 Where Col99=?").arg(i), {row[0]})
                       .rows.first().first().toInt() - i;
        seen << row[0].toString() + QString::number(sum);
    });
    EXPECT_EQ(seen, QStringList({"A150", "B150", "C150"}));
}
