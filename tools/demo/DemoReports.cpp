#include "app/Family.h"
#include "tools/demo/DemoTables.h"
#include <initializer_list>

namespace demo {

namespace {

// The report family's FROM clause, which every stored tabular select ends with.
const QString SourceFrom = app::reportFamily(QStringLiteral("PWR")).SourceFrom;
const QString ExtraSelect = app::reportFamily(QStringLiteral("PWR")).ExtraSelect;

struct CatalogueColumn {
    const char *table;
    const char *field;
    const char *caption;
    int width;
    char type;
    int decimals; // -1: none stored
};
const CatalogueColumn Catalogue[] = {
    {"M02", "Col99", "Party Code", 1000, 'C', -1},
    {"M02", "Col98", "Party Name", 3000, 'C', -1},
    {"M02", "Col98A", "Party Alias", 1200, 'C', -1},
    {"M02", "Col88", "City", 1500, 'C', -1},
    {"M02", "Col86", "Area", 1500, 'C', -1},
    {"M02", "Col95", "Party Group", 2000, 'C', -1},
    {"M02", "Col61", "Party Type", 1200, 'C', -1},
    {"M02", "ColPartyCategoryName", "Party Category", 1500, 'C', -1},
    {"M02", "ColSMName", "Sales Man", 1800, 'C', -1},
    {"M02", "Col80", "Opening Amount", 1500, 'N', 2},
    {"M02", "Col79", "Credit Amount", 1500, 'N', 2},
    {"M02", "Col78", "Debit Amount", 1500, 'N', 2},
    {"M02", "Col77", "Closing Amount", 1500, 'N', 2},
    {"M20", "Col99", "Product Code", 1000, 'C', -1},
    {"M20", "Col98", "Product Name", 3000, 'C', -1},
    {"M20", "ColExcPNameNew", "Product Name (Print)", 2500, 'C', -1},
    {"M20", "Col98A", "Product Alias", 1200, 'C', -1},
    {"M20", "Col88", "Product Group", 1800, 'C', -1},
    {"M20", "Col86", "Product Category", 1500, 'C', -1},
    {"M20", "Col84", "Product Type", 1500, 'C', -1},
    {"M20", "ColMastersName", "Product Masters", 1500, 'C', -1},
    {"M20", "Col98Desc", "Product Description", 3500, 'C', -1},
    {"M20", "ColWeight", "Product Weight", 1200, 'N', 3},
    {"M20", "OpQty", "Opening Quantity", 1500, 'N', 2},
    {"M20", "RecQty", "Receipt Quantity", 1500, 'N', 2},
    {"M20", "IssQty", "Issue Quantity", 1500, 'N', 2},
    {"M20", "ClQty", "Closing Quantity", 1500, 'N', 2},
    {"T51", "Col99", "Voucher No", 1200, 'C', -1},
    {"T51", "Col98", "Voucher Date", 1200, 'D', -1},
    {"T51", "Col45", "Voucher Type", 1000, 'C', -1},
    {"T51", "Col83", "Party Code (Voucher)", 1000, 'C', -1},
    {"T52", "ColLineNo", "Line No", 600, 'N', 0},
    {"T52", "Col96", "Product Code (Line)", 1000, 'C', -1},
    {"T52", "Col95", "Quantity", 1200, 'N', 3},
    {"T52", "Col93", "Amount", 1500, 'N', 2},
    {"T52", "Col90", "Line Flag", 600, 'C', -1},
    {"T52", "ColBags", "Bags", 1000, 'N', 0},
    {"T52", "ColCartons", "Cartons", 1000, 'N', 0},
    {"T52", "ColFreight", "Freight", 1200, 'N', 2},
    {"T52", "ColBatchNo", "Batch No", 1200, 'C', -1},
    {"T52", "Col99", "Voucher No (Line)", 1200, 'C', -1},
    // Another family's table, which the family's catalogue query must leave out.
    {"X99", "Col98", "Ledger Name", 3000, 'C', -1},
    {"X99", "Col93", "Ledger Balance", 1500, 'N', 2},
    {"X99", "Col45", "Ledger Type", 1000, 'C', -1},
};

// Codes are column names: the M/N ones are amounts of the voucher lines, the others texts of
// the voucher header companions.
const char *const UserFields[][4] = {
    {"ColBags", "Bags", "M", "N"},
    {"ColCartons", "Cartons", "M", "N"},
    {"ColFreight", "Freight Amount", "M", "N"},
    {"ColBatchNo", "Batch No", "M", "C"},
    {"ColVehicleNo", "Vehicle No", "H", "C"},
    {"ColTransport", "Transport", "H", "C"},
};

void writeCatalogue(data::Connection &db)
{
    for (const auto &c : Catalogue)
        insertRow(db, QStringLiteral("CRDefCol (ColTableName, FldName, FldDName, FldWidth, FldDType, ColDecimal)"),
                  {QString::fromLatin1(c.table), QString::fromLatin1(c.field), QString::fromLatin1(c.caption),
                   c.width, QString(QChar::fromLatin1(c.type)), c.decimals < 0 ? QVariant() : QVariant(c.decimals)});
    for (const auto &f : UserFields)
        insertRow(db, QStringLiteral("ZoM35 (Col99, Col98, Col95, Col96)"),
                  {QString::fromLatin1(f[0]), QString::fromLatin1(f[1]), QString::fromLatin1(f[2]),
                   QString::fromLatin1(f[3])});
}

void writeCustomColumns(data::Connection &db)
{
    const QString into = QStringLiteral("CRCustFld (ColCode, FldName, CalString, FldDType, MCode)");
    insertRow(db, into, {QStringLiteral("CF-1"), QStringLiteral("Weight Sold"),
                         QStringLiteral("T52.Col95 * M20.ColWeight"), QStringLiteral("N"), QStringLiteral("PWR")});
    insertRow(db, into, {QStringLiteral("CF-2"), QStringLiteral("Party With City"),
                         QStringLiteral("M02.Col98 + Space(1) + M02.Col88"), QStringLiteral("C"),
                         QStringLiteral("PWR")});
    insertRow(db, into, {QStringLiteral("CF-3"), QStringLiteral("Ledger Code"), QStringLiteral("X99.Col99"),
                         QStringLiteral("C"), QStringLiteral("XYZ")});
}

// Captions and expressions as the field catalogues hold them, so the definitions reopen on
// their entries.
void writeCrossTabs(data::Connection &db)
{
    const QString into = QStringLiteral(
        "ZoCTR (Col99, ColRepName, ColRepDesc, ColRowData, ColColData, ColDispData, ColGroupField, "
        "ColIsGrouping, ColRowDataName, ColColDataName, ColDispDataName, ColGroupFieldName, ColRepType)");
    insertRow(db, into,
              {QStringLiteral("CTR1"), QStringLiteral("Party Sales By Month"),
               QStringLiteral("Net sale amount of every party month by month, grouped by city"),
               QStringLiteral("M02.Col98"), QStringLiteral("Month (T51.Col98) "),
               QStringLiteral("IIF( Left(T52.Col99,1) = 'S'  , T52.Col93 * IIF(T52.Col90='R',-1,1)  ,0) "),
               QStringLiteral("M02.Col88"), 1, QStringLiteral("Party Name"), QStringLiteral("Month Name"),
               QStringLiteral("Net Sale Amount"), QStringLiteral("City Name"), 0});
    insertRow(db, into,
              {QStringLiteral("CTR2"), QStringLiteral("Product Stock By Group"),
               QStringLiteral("Closing quantity of every product by product group"),
               QStringLiteral("M20.ColExcPNameNew"), QStringLiteral("M20.Col88"), QStringLiteral("M20.ClQty"),
               QString(), 0, QStringLiteral("Product Name (Print)"), QStringLiteral("Product Group"),
               QStringLiteral("Closing Quantity"), QString(), 1});
    insertRow(db, into,
              {QStringLiteral("CTR3"), QStringLiteral("Party Balances By City"),
               QStringLiteral("Closing balance of each party group in every city"), QStringLiteral("M02.Col95"),
               QStringLiteral("M02.Col88"), QStringLiteral("M02.Col77"), QString(), 0,
               QStringLiteral("Group Name"), QStringLiteral("City Name"), QStringLiteral("Closing Amount"),
               QString(), 2});
}

struct ReportColumn {
    const char *table, *field, *type, *caption, *align, *width;
    double decimals;
    const char *group, *sort, *total, *count, *grandTotal;
};

struct TabularReport {
    const char *code, *name;
    const char *select; // between "Space(0) , " and the extra select
    bool grouped;
    const char *orderBy;
    int groupCount;
    const char *totals, *counts, *grandTotals, *totalDecimals, *format, *widths;
};

void writeTabular(data::Connection &db, const TabularReport &r, std::initializer_list<ReportColumn> columns)
{
    const QString code = QString::fromLatin1(r.code);
    const QString select = QString::fromLatin1(r.grouped ? "Select Space(0) , " : "Select  Space(0) , ")
        + QString::fromLatin1(r.select) + ExtraSelect + QStringLiteral(" ") + SourceFrom;
    insertRow(db,
              QStringLiteral("CrMain (ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, ColTotGroupingCol, "
                             "ColTotalStr, ColCountStr, ColGrandTotalStr, ColTotStrDecimal, ColFormatStr, "
                             "ColWidthStrCol)"),
              {code, QStringLiteral("PWR"), QString::fromLatin1(r.name), select, QString::fromLatin1(r.orderBy),
               r.groupCount, QString::fromLatin1(r.totals), QString::fromLatin1(r.counts),
               QString::fromLatin1(r.grandTotals), QString::fromLatin1(r.totalDecimals),
               QString::fromLatin1(r.format), QString::fromLatin1(r.widths)});
    int seq = 0;
    for (const ReportColumn &c : columns)
        insertRow(db,
                  QStringLiteral("CrChild (ColCode, ColTableName, ColFieldNameOrig, ColFieldNameDisp, "
                                 "ColFieldDataType, ColAlign, ColWidth, ColDecimal, ColGroup, ColSort, ColTotal, "
                                 "ColCount, ColGrandTotal, ColType, ColSeq)"),
                  {code, QString::fromLatin1(c.table), QString::fromLatin1(c.field), QString::fromLatin1(c.caption),
                   QString::fromLatin1(c.type), QString::fromLatin1(c.align), QString::fromLatin1(c.width),
                   c.decimals, QString::fromLatin1(c.group), QString::fromLatin1(c.sort),
                   QString::fromLatin1(c.total), QString::fromLatin1(c.count), QString::fromLatin1(c.grandTotal),
                   QStringLiteral("F"), ++seq});
}

// The generated texts are written out as the wizard's save produces them for these columns.
void writeTabularReports(data::Connection &db)
{
    writeTabular(db,
                 {"CRF4", "Party Wise Sales", "M02.Col98, format( T52.Col93 , '##########0.00'),M20.Col98", true,
                  "M02.Col98  ,T52.Col93 Desc ,M20.Col98 ", 1, "2", "1", "2", "2",
                  "Cod|<Party Name|>Amount|<Product", "1500,2500"},
                 {
                     {"M02", "Col98", "C", "Party Name", "L", "2000", 0, "A", "N", "N", "Y", "N"},
                     {"T52", "Col93", "N", "Amount", "R", "1500", 2, "N", "D", "Y", "N", "Y"},
                     {"M20", "Col98", "C", "Product", "L", "2500", 0, "N", "A", "N", "N", "N"},
                 });
    writeTabular(db,
                 {"CRF5", "Voucher Register",
                  "T51.Col98,T51.Col99,M02.Col98, format( T52.Col95 , '##########0.000'), "
                  "format( T52.Col93 , '##########0.00')",
                  false, "T51.Col98 ,T51.Col99 ", 0, "4,5", "2", "4,5", "3,2",
                  "Cod|<Voucher Date|<Voucher No|<Party Name|>Quantity|>Amount", "1200,1200,3000,1200,1500"},
                 {
                     {"T51", "Col98", "D", "Voucher Date", "L", "1200", 0, "N", "A", "N", "N", "N"},
                     {"T51", "Col99", "C", "Voucher No", "L", "1200", 0, "N", "A", "N", "Y", "N"},
                     {"M02", "Col98", "C", "Party Name", "L", "3000", 0, "N", "N", "N", "N", "N"},
                     {"T52", "Col95", "N", "Quantity", "R", "1200", 3, "N", "N", "Y", "N", "Y"},
                     {"T52", "Col93", "N", "Amount", "R", "1500", 2, "N", "N", "Y", "N", "Y"},
                 });
}

} // namespace

void writeReportDefinitions(data::Connection &year)
{
    writeCatalogue(year);
    writeCustomColumns(year);
    writeCrossTabs(year);
    writeTabularReports(year);
}

} // namespace demo
