#include "ScaledData.h"
#include "data/Connection.h"
#include "tools/demo/DemoData.h"

void makeScaledRoot(const QString &root, const Scale &scale)
{
    demo::DemoFiles files = demo::makeDemoData(root, 1, 1);
    data::Connection &db = *files.year;
    data::Transaction tx(db);
    for (int i = 0; i < scale.crossTabs; ++i)
        db.execute(QStringLiteral("Insert Into ZoCTR (Col99, ColRepName, ColRepDesc, ColRowData, ColColData, "
                                  "ColDispData, ColGroupField, ColIsGrouping, ColRowDataName, ColColDataName, "
                                  "ColDispDataName, ColGroupFieldName, ColRepType) "
                                  "Values (?, ?, ?, 'M02.Col98', 'M02.Col88', 'M02.Col80', '', 0, 'Party Name', "
                                  "'City Name', 'Opening Amount', '', 2)"),
                   {QStringLiteral("CTRB%1").arg(i), QStringLiteral("Bulk report %1").arg(i, 6, 10, QLatin1Char('0')),
                    QStringLiteral("Description of bulk report %1").arg(i)});
    for (int i = 0; i < scale.tabularReports; ++i) {
        const QString code = QStringLiteral("CRFB%1").arg(i);
        db.execute(QStringLiteral("Insert Into CrMain (ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, "
                                  "ColTotGroupingCol, ColTotalStr, ColCountStr, ColGrandTotalStr, ColFormatStr) "
                                  "Values (?, 'PWR', ?, 'Select  Space(0) , M02.Col98 ,M02.Col99 ', '', 0, '', '', "
                                  "'', 'Cod|<Party Name')"),
                   {code, QStringLiteral("Bulk tabular %1").arg(i, 6, 10, QLatin1Char('0'))});
    }
    for (int i = 0; i < scale.userFields; ++i)
        db.execute(QStringLiteral("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values (?, ?, ?, ?)"),
                   {QStringLiteral("ColUser%1").arg(i), QStringLiteral("User field %1").arg(i, 5, 10, QLatin1Char('0')),
                    i % 2 ? QStringLiteral("M") : QStringLiteral("H"), i % 2 ? QStringLiteral("N") : QStringLiteral("C")});
    for (int i = 0; i < scale.catalogueColumns; ++i)
        db.execute(QStringLiteral("Insert Into CRDefCol (ColTableName, FldName, FldDName, FldWidth, FldDType, ColDecimal) "
                                  "Values (?, ?, ?, 1500, ?, ?)"),
                   {QStringList{"M02", "M20", "T51", "T52"}[i % 4], QStringLiteral("ColBulk%1").arg(i),
                    QStringLiteral("Bulk column %1").arg(i, 5, 10, QLatin1Char('0')),
                    i % 3 ? QStringLiteral("N") : QStringLiteral("C"), i % 3 ? QVariant(2) : QVariant()});
    for (int i = 0; i < scale.customColumns; ++i)
        db.execute(QStringLiteral("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) "
                                  "Values (?, ?, 'T52.Col95 * 2', 'N', 'PWR')"),
                   {QStringLiteral("CF-B%1").arg(i), QStringLiteral("Bulk custom %1").arg(i)});
    if (scale.bigReportColumns > 0) {
        db.execute(QStringLiteral("Insert Into CrMain (ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, "
                                  "ColTotGroupingCol, ColTotalStr, ColCountStr, ColGrandTotalStr, ColFormatStr) "
                                  "Values ('CRFBIG', 'PWR', 'A big report', '', '', 0, '', '', '', 'Cod')"));
        for (int i = 1; i <= scale.bigReportColumns; ++i)
            db.execute(QStringLiteral("Insert Into CrChild (ColCode, ColTableName, ColFieldNameOrig, ColFieldNameDisp, "
                                      "ColFieldDataType, ColAlign, ColWidth, ColDecimal, ColGroup, ColSort, ColTotal, "
                                      "ColCount, ColGrandTotal, ColType, ColSeq) "
                                      "Values ('CRFBIG', 'T52', 'Col93', ?, 'N', 'R', '1500', 2, ?, ?, 'Y', 'N', 'Y', 'F', ?)"),
                       {QStringLiteral("Amount %1").arg(i), i <= 2 ? QStringLiteral("A") : QStringLiteral("N"),
                        i % 7 == 0 ? QStringLiteral("D") : QStringLiteral("N"), i});
    }
    tx.commit();
}

namespace {

// Rows numbered from 1 to n for an insert's select.
QString numbered(int n)
{
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(n);
}

int missing(data::Connection &db, const char *table, int total)
{
    return qMax(0, total - db.select(QStringLiteral("Select count(*) From %1").arg(QLatin1String(table))).rows[0][0].toInt());
}

} // namespace

void makeScaledYear(const QString &root, const ScaledYear &size)
{
    demo::DemoFiles files = demo::makeDemoData(root, 1, 1);
    data::Connection &db = *files.year;
    data::Transaction tx(db);
    const int parties = missing(db, "ZoM02", size.parties), products = missing(db, "ZoM20", size.products);
    const int vouchers = missing(db, "ZoT51", size.vouchers), lines = missing(db, "ZoT52", size.lines);
    // Names in mixed case, forty cities, amounts with paise and quantities with grams.
    db.execute(numbered(parties) + QStringLiteral(
        "INSERT INTO ZoM02 (Col99, Col98, Col88, Col86, Col95, Col80) SELECT printf('BP%05d', i), "
        "printf(CASE i % 3 WHEN 0 THEN 'party %04d traders' WHEN 1 THEN 'Party %04d Stores' ELSE 'PARTY %04d MART' END, i), "
        "printf('City %02d', i % 40), 'Area', 'Sundry Debtors', (i % 97) * 100.5 FROM n"));
    db.execute(numbered(parties) + QStringLiteral("INSERT INTO ZoM02_1 (Col99, ColGSTIN) SELECT printf('BP%05d', i), "
                                                  "printf('27BULK%05dZ1', i) FROM n"));
    db.execute(numbered(products) + QStringLiteral(
        "INSERT INTO ZoM20 (Col99, Col98, Col88, Col86, ColWeight) SELECT printf('BI%05d', i), "
        "printf('Product %04d', i), printf('Group %02d', i % 25), 'Packed', (i % 50) * 0.25 + 0.5 FROM n"));
    db.execute(numbered(products) + QStringLiteral("INSERT INTO ZoM20_1 (Col99, ColHSN) SELECT printf('BI%05d', i), "
                                                   "'1006' FROM n"));
    db.execute(numbered(vouchers) + QStringLiteral(
        "INSERT INTO ZoT51 (Col99, Col98, Col45, Col83) SELECT printf('BV%06d', i), date('2023-04-01', "
        "printf('+%d days', i % 366)), 'SALE', printf('BP%05d', (i * 7919) % %1 + 1) FROM n").arg(qMax(1, parties)));
    db.execute(numbered(vouchers) + QStringLiteral(
        "INSERT INTO ZoT51_1 (Col99, ColVehicleNo, ColNarration) SELECT printf('BV%06d', i), printf('MH12 %04d', i % "
        "9000), 'As per order' FROM n"));
    db.execute(numbered(vouchers) + QStringLiteral(
        "INSERT INTO ZoT51_2 (Col99, ColTransport, ColLRNo) SELECT printf('BV%06d', i), 'Deccan Carriers', "
        "printf('LR%06d', i) FROM n WHERE i % 3 <> 2"));
    db.execute(numbered(lines) + QStringLiteral(
        "INSERT INTO ZoT52 (Col99, ColLineNo, Col96, Col93, Col95, Col90) SELECT printf('BV%06d', (i - 1) % %1 + 1), "
        "(i - 1) / %1 + 1, printf('BI%05d', (i * 104729) % %2 + 1), ((i * 7907) % 200000) / 100.0 + 10, "
        "((i * 31) % 5000) / 1000.0 + 0.5, CASE WHEN i % 10 = 0 THEN 'I' END FROM n")
                   .arg(qMax(1, vouchers)).arg(qMax(1, products)));
    tx.commit();
}
