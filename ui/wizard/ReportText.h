#pragma once
#include "data/Connection.h"
#include "ui/wizard/SelectedColumn.h"
#include <QString>
#include <QVector>

// Everything a tabular report stores besides its column rows: the select text, its ORDER BY
// list (without the words), the grouped-column count, the row-number lists, the decimals of the
// totalled columns, the report grid's format string and the widths of the non-grouped columns.
struct ReportText {
    QString sql, orderBy;
    int groupCount = 0;
    QString totalStr, countStr, grandTotalStr, totDecimalStr, formatStr, widthStr;
};

// How a column is named in the select text. Stored, a custom column reads "CF-n." + its formula,
// as every column reads alias + "." + field; to run the text here, it must be the formula itself.
enum class ColumnNames { AsStored, Runnable };

// A column's expression as the select text names it.
QString columnField(const SelectedColumn &column, ColumnNames names);

// rows[i] is selected column i + 1.
ReportText buildReportText(const QVector<SelectedColumn> &rows, const QString &extraSelect, const QString &sourceFrom,
                           ColumnNames names = ColumnNames::AsStored);

// The CrChild values of one selected column: ColCode, ColTableName, ColFieldNameOrig,
// ColFieldNameDisp, ColFieldDataType, ColAlign, ColWidth, ColDecimal, ColGroup, ColSort, ColTotal,
// ColCount, ColGrandTotal, ColType, ColSeq.
data::Params childRow(const QString &code, const SelectedColumn &column, int seq);
