#include "ui/crosstab/Catalogues.h"

namespace crosstab {

namespace {

struct Catalogue {
    const char *slotCode;
    QVector<CatalogueEntry> entries;
};

// Captions and expressions are stored with definitions and compared when a box is reopened, so
// every blank counts, trailing ones included.
const QVector<Catalogue> &catalogues()
{
    static const QVector<Catalogue> all = {
        {"RC0",
         {{"Party Name", "M02.Col98"},
          {"Party Name With City Name", "M02.Col98 + Space(1) + M02.Col88 "},
          {"Party Name With Area Name", "M02.Col98 + Space(1) + M02.Col86 "},
          {"Party Alias", "M02.Col98A"},
          {"City Name", "M02.Col88"},
          {"Area Name", "M02.Col86"},
          {"Party Group Name", "M02.Col95"},
          {"Product Name (Print) ", "M20.ColExcPNameNew"},
          {"Product Name (Original) ", "M20.Col98"},
          {"Product Alias", "M20.Col98A"},
          {"Product Group", "M20.Col88"},
          {"Product Category", "M20.Col86"},
          {"Product Type", "M20.Col84"},
          {"Product Masters", "M20.ColMastersName"},
          {"Product Description", "M20.Col98Desc"},
          {"Month Name", "Month (T51.Col98) "},
          {"Voucher Short Name", "T51.Col45 "},
          {"Date", "Format(T51.Col98,'DD/MM/YYYY') "},
          {"Party Type", "M02.Col61"},
          {"Party Category", "M02.ColPartyCategoryName "},
          {"Sales Man", "M02.ColSMName"}}},
        {"RC1",
         {{"Product Name (Print)", "M20.ColExcPNameNew"},
          {"Product Name (Original)", "M20.Col98"},
          {"Product Alias", "M20.Col98A"},
          {"Product Group", "M20.Col88"},
          {"Product Category", "M20.Col86"},
          {"Product Type", "M20.Col84"},
          {"Product Masters", "M20.ColMastersName"},
          {"Product Description", "M20.Col98Desc"},
          {"Product Weight", "M20.ColWeight"}}},
        {"RC2",
         {{"Party Name", "M02.Col98"},
          {"Party Name With City Name", "M02.Col98 + Space(1) + M02.Col88 "},
          {"Party Name With Area Name", "M02.Col98 + Space(1) + M02.Col86 "},
          {"Party Alias", "M02.Col98A"},
          {"City Name", "M02.Col88"},
          {"Area Name", "M02.Col86"},
          {"Group Name", "M02.Col95"},
          {"Party Type", "M02.Col61"},
          {"Party Category", "M02.ColPartyCategoryName "},
          {"Sales Man", "M02.ColSMName"}}},
        {"D0",
         {{"Sale Amount", "IIF( Left(T52.Col99,3) In ('SDC','SCC')  , T52.Col93,0) "},
          {"Purc. Amount", "IIF( Left(T52.Col99,3) In ('PDD','PCD')  , T52.Col93,0) "},
          {"Sale Ret Amount", "IIF( Left(T52.Col99,3) In ('SDD','SCD')  , T52.Col93,0) "},
          {"Purc. Ret. Amount", "IIF( Left(T52.Col99,3) In ('PDC','PCC')  , T52.Col93,0) "},
          {"Net Sale Amount", "IIF( Left(T52.Col99,1) = 'S'  , T52.Col93 * IIF(T52.Col90='R',-1,1)  ,0) "},
          {"Net Purc. Amount", "IIF( Left(T52.Col99,1) = 'P'  , T52.Col93 * IIF(T52.Col90='I',-1,1)  ,0) "},
          {"Sale Qty ", "IIF( Left(T52.Col99,3) In ('SDC','SCC')  , T52.Col95,0) "},
          {"Purc. Qty", "IIF( Left(T52.Col99,3) In ('PDD','PCD')  , T52.Col95,0) "},
          {"Sale Ret Qty", "IIF( Left(T52.Col99,3) In ('SDD','SCD')  , T52.Col95,0) "},
          {"Purc. Ret. Qty", "IIF( Left(T52.Col99,3) In ('PDC','PCC')  , T52.Col95,0) "},
          {"Net Sale Qty", "IIF( Left(T52.Col99,1) = 'S'  , T52.Col95 * IIF(T52.Col90='R',-1,1)  ,0) "},
          {"Net Purc. Qty", "IIF( Left(T52.Col99,1) = 'P'  , T52.Col95 * IIF(T52.Col90='I',-1,1)  ,0) "},
          {"Sale Qty * Prod.Mastet -> Weight ",
           "IIF( Left(T52.Col99,3) In ('SDC','SCC')  , T52.Col95 * M20.ColWeight ,0) "},
          {"Purc. Qty * Prod.Mastet -> Weight ",
           "IIF( Left(T52.Col99,3) In ('PDD','PCD')  , T52.Col95* M20.ColWeight,0) "},
          {"Sale Ret Qty * Prod.Mastet -> Weight ",
           "IIF( Left(T52.Col99,3) In ('SDD','SCD')  , T52.Col95* M20.ColWeight,0) "},
          {"Purc. Ret. Qty * Prod.Mastet -> Weight ",
           "IIF( Left(T52.Col99,3) In ('PDC','PCC')  , T52.Col95* M20.ColWeight,0) "},
          {"Net Sale Qty * Prod.Mastet -> Weight ",
           "IIF( Left(T52.Col99,1) = 'S'  , T52.Col95 * M20.ColWeight * IIF(T52.Col90='R',-1,1)  ,0) "},
          {"Net Purc. Qty * Prod.Mastet -> Weight ",
           "IIF( Left(T52.Col99,1) = 'P'  , T52.Col95 * M20.ColWeight * IIF(T52.Col90='I',-1,1)  ,0) "}}},
        {"D1",
         {{"Opening Quantity", "M20.OpQty"},
          {"Receipt Quantity", "M20.RecQty"},
          {"Issue Quantity", "M20.IssQty"},
          {"Closing Quantity", "M20.ClQty"},
          {"Opening Quantity * Prod. Mast.Weight", "M20.OpQty * M20.ColWeight"},
          {"Receipt Quantity * Prod. Mast.Weight", "M20.RecQty * M20.ColWeight"},
          {"Issue Quantity * Prod. Mast.Weight", "M20.IssQty * M20.ColWeight"},
          {"Closing Quantity * Prod. Mast.Weight", "M20.ClQty * M20.ColWeight"}}},
        {"D2",
         {{"Opening Amount", "M02.Col80"},
          {"Credit Amount", "M02.Col79"},
          {"Debit Amount", "M02.Col78"},
          {"Closing Amount", "M02.Col77"}}},
    };
    return all;
}

} // namespace

QVector<CatalogueEntry> fixedEntries(const QString &slotCode)
{
    for (const Catalogue &c : catalogues())
        if (slotCode == QLatin1String(c.slotCode))
            return c.entries;
    return {};
}

} // namespace crosstab
