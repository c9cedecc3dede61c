#include "data/ConnectionString.h"

namespace data {

QMap<QString, QString> parseConnectionString(const QString &text)
{
    QMap<QString, QString> result;
    for (const QString &part : text.split(';', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf('=');
        if (eq < 0)
            continue;
        result.insert(part.left(eq).trimmed().toLower(), part.mid(eq + 1));
    }
    return result;
}

} // namespace data
