#include "data/ConnectionString.h"

namespace data {

QMap<QString, QString> parseConnectionString(const QString &text)
{
    QMap<QString, QString> result;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = text.indexOf(';', at);
        if (end < 0)
            end = text.size();
        const QString part = text.mid(at, end - at);
        const qsizetype eq = part.indexOf('=');
        if (eq >= 0) {
            const QString key = part.left(eq).trimmed().toLower();
            // A server's conninfo or URI may hold ';' and '=' of its own.
            if (key == QLatin1String("server")) {
                result.insert(key, text.mid(at + eq + 1));
                break;
            }
            result.insert(key, part.mid(eq + 1));
        }
        at = end + 1;
    }
    return result;
}

} // namespace data
