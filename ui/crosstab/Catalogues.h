#pragma once
#include <QString>
#include <QVector>

namespace crosstab {

// A field the user picks by its caption; the definition keeps the expression.
struct CatalogueEntry {
    QString caption;
    QString expression;
};

// The fixed entries offered for a slot code: "RC" (row, column and group field) or "D" (display
// field) followed by the report type 0, 1 or 2. Any other code has none.
QVector<CatalogueEntry> fixedEntries(const QString &slotCode);

} // namespace crosstab
