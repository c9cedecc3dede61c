#pragma once
#include "data/Connection.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

// A cross-tab definition laid out as a table: the row field's values down, the column field's
// values across, the display field summed in each cell.
namespace crosstab {

// The expressions of a definition, in the stored (Jet) dialect.
struct CrossDefinition {
    int reportType = 0;
    QString row, col, disp;
    QString group; // empty: not grouped
};

// The select giving r, c, [g,] v: the display field summed per row, column (and group) value,
// over the family's FROM clause. The ledger types sum master columns, so each master row counts
// once however many voucher lines join it. The select is written for the engine it runs on.
// Throws DbError when an expression does not parse.
QString pivotSql(const CrossDefinition &definition, const QString &sourceFrom,
                 data::Engine engine = data::Engine::File);

struct PivotLine {
    enum Kind { Group, Data, Subtotal, Total };
    Kind kind = Data;
    QString label;                        // the row value; for Group and Subtotal the group value
    QVector<std::optional<double>> cells; // per column; empty where no row contributed
    double total = 0;
};

struct Pivot {
    QStringList columns;
    QVector<PivotLine> lines;
};

// Rows as pivotSql selects them. Headings are ordered by their values' type: an empty value
// first, then numbers by value, dates by date (dd/mm/yyyy as Format writes them, or ISO), texts
// ignoring case; numbers and dates written as text count as numbers and dates. A grouped pivot gives each group a Group line,
// its Data lines and a Subtotal line; the last line is always the Total.
Pivot makePivot(const data::RowSet &rows, bool grouped);

// The definition's pivot over the year's data. progress, when given, gets the number of rows
// read so far every few thousand rows, where the program reads them itself (on the files; a
// server groups them before it answers). Throws DbError.
Pivot loadPivot(data::Connection &db, const CrossDefinition &definition, const QString &sourceFrom,
                const std::function<void(qint64)> &progress = {});

} // namespace crosstab
