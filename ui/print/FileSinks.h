#pragma once
#include "ui/print/ReportSink.h"
#include <QByteArray>
#include <memory>

class QIODevice;
struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace report {

// What a cell shows: a number with the column's decimal places, a text as it is, a null as "".
QString shownText(const QVariant &value, const Column &column);
// The number a value holds: true for numbers, and for texts that read as one in a number column.
bool numberOf(const QVariant &value, const Column &column, double *number);
// The text of a total line's kind in the leading "Line" column of a file ("" for a data line).
QString kindText(const Line &line);

// RFC 4180 text in UTF-8: CRLF line ends, fields quoted when they must be. A leading "Line"
// column marks groups and totals. Numbers are written with a point, with the column's decimal
// places where it has them, else as stored. A text that a spreadsheet would take for a formula
// gets a leading quote mark.
class CsvSink : public Sink {
public:
    explicit CsvSink(QIODevice &out);
    void begin(const QVector<Column> &columns) override;
    void line(const Line &line) override;
    void end() override;

private:
    void field(const QString &text);
    void endRow();

    QIODevice &out_;
    QVector<Column> columns_;
    QByteArray row_; // rows not yet written
    bool firstField_ = true;
};

// An .xlsx workbook written row by row (the library keeps one row in memory): the same leading
// "Line" column, captions bold, widths and decimal places as the report's, totals bold. A report
// longer than a sheet goes on in the next one, captions repeated.
class XlsxSink : public Sink {
public:
    explicit XlsxSink(const QString &path);
    ~XlsxSink() override;
    void begin(const QVector<Column> &columns) override;
    void line(const Line &line) override;
    void end() override; // throws std::runtime_error when the file cannot be written

private:
    void newSheet();

    QByteArray path_;
    lxw_workbook *book_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    QVector<Column> columns_;
    QVector<lxw_format *> plain_, bold_; // per column
    lxw_format *caption_ = nullptr;
    int sheets_ = 0;
    unsigned row_ = 0;
};

} // namespace report
