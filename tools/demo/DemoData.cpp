#include "tools/demo/DemoData.h"
#include "app/Paths.h"
#include "data/PgConnection.h"
#include "tools/demo/DemoTables.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <stdexcept>

// The schema resource is compiled into a static library, whose registration the linker drops
// unless something calls it; it has to be named outside any namespace.
static void registerSchemaResource()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(schema);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace demo {

namespace {

[[noreturn]] void refuse(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

void refuseExisting(const QString &file)
{
    if (QFileInfo::exists(file))
        refuse(QStringLiteral("Database file exists already: ") + file);
}

// Runs the schema on a fresh handle; the engine's message is returned, empty on success.
QString createKeyed(const QString &file, const QString &password, const QString &schemaSql)
{
    sqlite3 *db = nullptr;
    const QByteArray path = file.toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return message;
    }
    const QByteArray key = password.toUtf8();
    QString message;
    char *error = nullptr;
    if (sqlite3_key(db, key.constData(), key.size()) != SQLITE_OK)
        message = QString::fromUtf8(sqlite3_errmsg(db));
    else if (sqlite3_exec(db, schemaSql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        message = QString::fromUtf8(error);
    sqlite3_free(error);
    sqlite3_close(db);
    return message;
}

const QString DbExtension = QStringLiteral(".db");

DemoFiles createFiles(const QString &root, int firm, int year)
{
    const QString yearBase = app::yearDbBase(root, firm, year);
    const QString firmBase = app::firmDbBase(root, firm);
    // Both are checked before either is made, so a refusal leaves nothing half done.
    refuseExisting(yearBase + DbExtension);
    refuseExisting(firmBase + DbExtension);

    DemoFiles files;
    files.year = createDatabase(yearBase + DbExtension, app::YearPassword, schemaText(QStringLiteral("year")));
    files.firm = createDatabase(firmBase + DbExtension, app::FirmPassword, schemaText(QStringLiteral("firm")));
    return files;
}

std::unique_ptr<data::Connection> openOnServer(const QString &server, const QString &database)
{
    return data::Connection::open(app::serverConnectionString(server, database));
}

// A firm's two databases on a server, made through its maintenance database "postgres". One that
// exists already is used while it holds no table, as when an administrator made it for its owner.
DemoFiles createOnServer(const QString &server, int firm, int year)
{
    const QString yearName = app::yearServerDatabase(firm, year), firmName = app::firmServerDatabase(firm);
    auto maintenance = openOnServer(server, QStringLiteral("postgres"));
    QStringList missing;
    for (const QString &name : {yearName, firmName}) {
        if (maintenance->select(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {name}).rows.isEmpty())
            missing << name;
        else if (!openOnServer(server, name)
                      ->select(QStringLiteral("SELECT 1 FROM information_schema.tables WHERE table_schema = 'public'"))
                      .rows.isEmpty())
            refuse(QStringLiteral("Database %1 holds tables already").arg(name));
    }
    for (const QString &name : missing)
        maintenance->execute(QStringLiteral("CREATE DATABASE %1").arg(name));

    DemoFiles files;
    files.year = openOnServer(server, yearName);
    auto &yearDb = dynamic_cast<data::PgConnection &>(*files.year);
    yearDb.runScript(schemaText(QStringLiteral("pg/year")));
    if (QFile::exists(QStringLiteral(":/schema/pg/functions.sql")))
        yearDb.runScript(schemaText(QStringLiteral("pg/functions")));
    files.firm = openOnServer(server, firmName);
    dynamic_cast<data::PgConnection &>(*files.firm).runScript(schemaText(QStringLiteral("pg/firm")));
    return files;
}

// The record-number counters, and with `demo` a small accounting year and a few stored report
// definitions, whose numbers the counters stand past.
DemoFiles fill(DemoFiles files, bool demo)
{
    data::Transaction numbers(*files.firm);
    const QString counter = QStringLiteral("INSERT INTO ZoF05 (Col99, Col98) VALUES (?, ?)");
    files.firm->execute(counter, {QStringLiteral("OTH"), demo ? 17 : 1});
    files.firm->execute(counter, {QStringLiteral("MRN"), demo ? 5 : 1});
    numbers.commit();
    if (demo) {
        data::Transaction tx(*files.year);
        writeAccounts(*files.year);
        writeReportDefinitions(*files.year);
        tx.commit();
    }
    return files;
}

} // namespace

void insertRow(data::Connection &db, const QString &into, const data::Params &values)
{
    QStringList marks;
    for (int i = 0; i < values.size(); ++i)
        marks << QStringLiteral("?");
    db.execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(into, marks.join(QStringLiteral(", "))),
               values);
}

QString schemaText(const QString &name)
{
    registerSchemaResource();
    QFile file(QStringLiteral(":/schema/%1.sql").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("Schema resource not found: ") + file.fileName());
    return QString::fromUtf8(file.readAll());
}

std::unique_ptr<data::Connection> createDatabase(const QString &file, const QString &password,
                                                 const QString &schemaSql)
{
    // The connection string names the file without its extension and adds ".db" itself.
    if (!file.endsWith(DbExtension))
        refuse(QStringLiteral("Database file name must end in .db: ") + file);
    refuseExisting(file);
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        refuse(QStringLiteral("Cannot create folder: ") + folder);

    const QString message = createKeyed(file, password, schemaSql);
    if (!message.isEmpty()) {
        QFile::remove(file);
        refuse(QStringLiteral("Cannot create database %1: %2").arg(file, message));
    }
    const QString base = file.left(file.size() - DbExtension.size());
    return data::Connection::open(app::connectionString(base, password));
}

DemoFiles makeEmptyData(const QString &root, int firm, int year)
{
    return fill(createFiles(root, firm, year), false);
}

DemoFiles makeDemoData(const QString &root, int firm, int year)
{
    return fill(createFiles(root, firm, year), true);
}

DemoFiles makeServerEmptyData(const QString &server, int firm, int year)
{
    return fill(createOnServer(server, firm, year), false);
}

DemoFiles makeServerDemoData(const QString &server, int firm, int year)
{
    return fill(createOnServer(server, firm, year), true);
}

} // namespace demo
