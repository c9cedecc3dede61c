#pragma once
#include <QMap>
#include <QString>

namespace data {

// Parses "Key=Value;Key=Value;" into a map with keys in lower case. Values keep their blanks.
// The key Server comes last: its value runs to the end of the text.
QMap<QString, QString> parseConnectionString(const QString &text);

} // namespace data
