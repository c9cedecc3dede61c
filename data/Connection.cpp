#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/PgConnection.h"
#include "data/SqlCipherConnection.h"

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

} // namespace data
