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
