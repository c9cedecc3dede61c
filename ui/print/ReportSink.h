#pragma once
#include <QString>
#include <QVariant>
#include <QVector>

// A report as it leaves a preview for a printer or a file: its columns first, then its lines one
// by one, so that a year of a million voucher lines never has to be held whole.
namespace report {

struct Column {
    QString caption;
    int widthTwips = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    int decimals = -1; // decimal places of a number column; -1 for a text column
};

struct Line {
    enum Kind { Data, Group, Subtotal, GrandTotal };
    Kind kind = Data;
    int level = 0;            // Group and Subtotal: 0 is the outermost group
    QVector<QVariant> values; // one per column, numbers as numbers; a null is an invalid QVariant
};

class Sink {
public:
    virtual ~Sink() = default;
    virtual void begin(const QVector<Column> &columns) = 0;
    virtual void line(const Line &line) = 0;
    virtual void end() = 0;
};

} // namespace report
