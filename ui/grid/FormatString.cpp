#include "ui/grid/FormatString.h"
#include <QStringList>

QVector<FormatColumn> parseFormatString(const QString &format)
{
    QVector<FormatColumn> columns;
    for (const QString &part : format.split(QLatin1Char('|'))) {
        FormatColumn column{part, Qt::AlignLeft};
        if (part.startsWith(QLatin1Char('<'))) {
            column.caption.remove(0, 1);
        } else if (part.startsWith(QLatin1Char('>'))) {
            column.caption.remove(0, 1);
            column.alignment = Qt::AlignRight;
        }
        columns << column;
    }
    return columns;
}
