#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/JetFunctions.h"
#include "data/PgConnection.h"
#include "data/SqlCipherConnection.h"
#include <algorithm>
#include <cmath>

namespace data {

std::unique_ptr<Connection> Connection::open(const QString &connectionString, Access access)
{
    const auto parts = parseConnectionString(connectionString);
    const QString provider = parts.value(QStringLiteral("provider"));
    if (provider.compare(QLatin1String("SQLCipher"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SqlCipherConnection>(parts.value(QStringLiteral("data source")),
                                                     parts.value(QStringLiteral("password")), access);
    if (provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return std::make_unique<PgConnection>(parts.value(QStringLiteral("server")),
                                              parts.value(QStringLiteral("database")), access);
    throw DbError(QStringLiteral("Provider not supported: ") + provider);
}

void Connection::forEachRow(const QString &sql, const Params &params,
                            const std::function<void(const QVector<QVariant> &)> &onRow)
{
    QVector<QVariant> values;
    walkRows(sql, params, [&](const Row &row) {
        row.copyTo(values);
        onRow(values);
    });
}

namespace {

// A tag, then the length and bytes of a text or blob, or the eight bytes of a number: no two
// values' keys run together when the keys of several columns are appended.
void appendBytes(QByteArray &key, char tag, QByteArrayView bytes, bool foldAscii)
{
    key += tag;
    const quint32 size = quint32(bytes.size());
    key.append(reinterpret_cast<const char *>(&size), sizeof size);
    const qsizetype at = key.size();
    key.append(bytes);
    if (foldAscii)
        for (char *c = key.data() + at, *end = key.data() + key.size(); c != end; ++c)
            if (*c >= 'A' && *c <= 'Z')
                *c += 'a' - 'A';
}

template <typename T> void appendNumber(QByteArray &key, char tag, T number)
{
    key += tag;
    key.append(reinterpret_cast<const char *>(&number), sizeof number);
}

} // namespace

std::optional<double> Row::number(int column) const
{
    return numberValue(value(column));
}

void appendKey(QByteArray &key, const Row &row, int column, Engine engine, bool ignoreCase)
{
    QByteArrayView bytes;
    if (row.text(column, bytes)) {
        const auto ascii = [&] { return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }); };
        if (ignoreCase && engine == Engine::Server && !ascii())
            appendBytes(key, 'T', QString::fromUtf8(bytes).toLower().toUtf8(), false);
        else
            appendBytes(key, 'T', bytes, ignoreCase);
        return;
    }
    const QVariant v = row.value(column);
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        key += 'N';
        return;
    case QMetaType::QByteArray:
        appendBytes(key, 'B', v.toByteArray(), false);
        return;
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (std::trunc(d) == d && std::abs(d) < 9.2e18) // 1 and 1.0 are one value to the engine
            appendNumber(key, 'I', qint64(d));
        else
            appendNumber(key, 'D', d);
        return;
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        appendNumber(key, 'I', v.toLongLong());
        return;
    default:
        appendBytes(key, 'S', v.toString().toUtf8(), false);
    }
}

} // namespace data
