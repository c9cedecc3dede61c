#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/SqlCipherConnection.h"

namespace data {

std::unique_ptr<Connection> Connection::open(const QString &connectionString, Access access)
{
    const auto parts = parseConnectionString(connectionString);
    const QString provider = parts.value(QStringLiteral("provider"));
    if (provider.compare(QLatin1String("SQLCipher"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SqlCipherConnection>(parts.value(QStringLiteral("data source")),
                                                     parts.value(QStringLiteral("password")), access);
    throw DbError(QStringLiteral("Provider not supported: ") + provider);
}

} // namespace data
