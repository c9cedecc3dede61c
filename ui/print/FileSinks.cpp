#include "ui/print/FileSinks.h"
#include <QFile>
#include <QIODevice>
#include <QLocale>
#include <cmath>
#include <stdexcept>
#include <xlsxwriter.h>

namespace report {

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// The shortest text that reads back as the same double, never in exponent form.
QString stored(double v)
{
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

// A text a spreadsheet would run as a formula; a signed number is none.
bool formulaLike(const QString &text)
{
    if (text.isEmpty() || !QStringLiteral("=+-@").contains(text[0]))
        return false;
    bool number = false;
    text.toDouble(&number);
    return !number;
}

QByteArray quoted(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        bytes.replace('"', "\"\"");
        return '"' + bytes + '"';
    }
    return bytes;
}

} // namespace

QString shownText(const QVariant &value, const Column &column)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (!isNumber(value))
        return value.toString();
    if (column.decimals >= 0) {
        const double v = value.toDouble();
        // What rounds to nothing shows as 0, not as -0.
        return QString::number(std::abs(v) < 0.5 * std::pow(10.0, -column.decimals) ? 0.0 : v, 'f',
                               column.decimals);
    }
    return value.typeId() == QMetaType::Double ? stored(value.toDouble()) : value.toString();
}

bool numberOf(const QVariant &value, const Column &column, double *number)
{
    if (isNumber(value)) {
        *number = value.toDouble();
        return true;
    }
    if (column.decimals < 0 || value.typeId() != QMetaType::QString)
        return false;
    bool ok = false;
    *number = value.toString().trimmed().toDouble(&ok);
    return ok;
}

QString kindText(const Line &line)
{
    switch (line.kind) {
    case Line::Data:
        break;
    case Line::Group:
        return QStringLiteral("Group %1").arg(line.level + 1);
    case Line::Subtotal:
        return QStringLiteral("Subtotal %1").arg(line.level + 1);
    case Line::GrandTotal:
        return QStringLiteral("Grand Total");
    }
    return QString();
}

CsvSink::CsvSink(QIODevice &out) : out_(out) {}

void CsvSink::begin(const QVector<Column> &columns)
{
    columns_ = columns;
    out_.write("\xEF\xBB\xBF"); // spreadsheets take the file for UTF-8 only with the mark
    field(QStringLiteral("Line"));
    for (const Column &c : columns)
        field(c.caption);
    endRow();
}

void CsvSink::line(const Line &line)
{
    field(kindText(line));
    for (int c = 0; c < columns_.size(); ++c) {
        const QVariant value = line.values.value(c);
        const QString text = shownText(value, columns_[c]);
        field(value.typeId() == QMetaType::QString && formulaLike(text) ? QLatin1Char('\'') + text : text);
    }
    endRow();
}

void CsvSink::end()
{
    if (out_.write(row_) != row_.size())
        throw std::runtime_error(out_.errorString().toStdString());
    row_.clear();
}

void CsvSink::field(const QString &text)
{
    if (!firstField_)
        row_ += ',';
    firstField_ = false;
    row_ += quoted(text);
}

void CsvSink::endRow()
{
    row_ += "\r\n";
    firstField_ = true;
    if (row_.size() >= 1 << 16)
        end();
}

XlsxSink::XlsxSink(const QString &path) : path_(QFile::encodeName(path)) {}

XlsxSink::~XlsxSink()
{
    if (book_)
        workbook_close(book_);
}

void XlsxSink::begin(const QVector<Column> &columns)
{
    columns_ = columns;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    book_ = workbook_new_opt(path_.constData(), &options);
    if (!book_)
        throw std::runtime_error("cannot create " + path_.toStdString());
    caption_ = workbook_add_format(book_);
    format_set_bold(caption_);
    for (const Column &c : columns) {
        lxw_format *plain = workbook_add_format(book_), *bold = workbook_add_format(book_);
        format_set_bold(bold);
        if (c.decimals >= 0) {
            const QByteArray number = c.decimals > 0 ? "0." + QByteArray(c.decimals, '0') : QByteArray("0");
            format_set_num_format(plain, number.constData());
            format_set_num_format(bold, number.constData());
        }
        if (c.alignment & Qt::AlignRight) {
            format_set_align(plain, LXW_ALIGN_RIGHT);
            format_set_align(bold, LXW_ALIGN_RIGHT);
        }
        plain_ << plain;
        bold_ << bold;
    }
    newSheet();
}

void XlsxSink::newSheet()
{
    sheet_ = workbook_add_worksheet(book_, QByteArray("Sheet" + QByteArray::number(++sheets_)).constData());
    worksheet_set_column(sheet_, 0, 0, 12, nullptr);
    worksheet_write_string(sheet_, 0, 0, "Line", caption_);
    for (int c = 0; c < columns_.size(); ++c) {
        // An Excel character is about 105 twips wide.
        const double width = columns_[c].widthTwips > 0 ? columns_[c].widthTwips / 105.0 : 12;
        worksheet_set_column(sheet_, c + 1, c + 1, width, nullptr);
        worksheet_write_string(sheet_, 0, c + 1, columns_[c].caption.toUtf8().constData(), caption_);
    }
    worksheet_freeze_panes(sheet_, 1, 0);
    row_ = 1;
}

void XlsxSink::line(const Line &line)
{
    if (row_ >= LXW_ROW_MAX)
        newSheet();
    const bool total = line.kind != Line::Data;
    const QString kind = kindText(line);
    if (!kind.isEmpty())
        worksheet_write_string(sheet_, row_, 0, kind.toUtf8().constData(), caption_);
    for (int c = 0; c < columns_.size(); ++c) {
        const QVariant value = line.values.value(c);
        lxw_format *format = (total ? bold_ : plain_)[c];
        double number;
        if (numberOf(value, columns_[c], &number))
            worksheet_write_number(sheet_, row_, c + 1, number, format);
        else if (!value.isNull() && value.isValid())
            worksheet_write_string(sheet_, row_, c + 1, value.toString().toUtf8().constData(), format);
    }
    ++row_;
}

void XlsxSink::end()
{
    const lxw_error error = workbook_close(book_);
    book_ = nullptr;
    if (error != LXW_NO_ERROR)
        throw std::runtime_error(lxw_strerror(error));
}

} // namespace report
