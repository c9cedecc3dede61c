#pragma once
#include <QString>
#include <QVector>

// One column of a grid format string: "|" separates columns, a leading "<" aligns a column left
// and ">" right, and the text that remains, trailing blanks included, is the header.
struct FormatColumn {
    QString caption;
    Qt::Alignment alignment = Qt::AlignLeft;
};

QVector<FormatColumn> parseFormatString(const QString &format);
