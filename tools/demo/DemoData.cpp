#include "tools/demo/DemoData.h"
#include "app/Paths.h"
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

DemoFiles createFiles(const QString &root, int firm, int year, int nextOther, int nextCustom)
{
    const QString yearBase = app::yearDbBase(root, firm, year);
    const QString firmBase = app::firmDbBase(root, firm);
    // Both are checked before either is made, so a refusal leaves nothing half done.
    refuseExisting(yearBase + DbExtension);
    refuseExisting(firmBase + DbExtension);

    DemoFiles files;
    files.year = createDatabase(yearBase + DbExtension, app::YearPassword, schemaText(QStringLiteral("year")));
    files.firm = createDatabase(firmBase + DbExtension, app::FirmPassword, schemaText(QStringLiteral("firm")));

    data::Transaction tx(*files.firm);
    const QString counter = QStringLiteral("INSERT INTO ZoF05 (Col99, Col98) VALUES (?, ?)");
    files.firm->execute(counter, {QStringLiteral("OTH"), nextOther});
    files.firm->execute(counter, {QStringLiteral("MRN"), nextCustom});
    tx.commit();
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
    return createFiles(root, firm, year, 1, 1);
}

DemoFiles makeDemoData(const QString &root, int firm, int year)
{
    // The counters stand past the numbers the stored definitions below already use.
    DemoFiles files = createFiles(root, firm, year, 17, 5);
    data::Transaction tx(*files.year);
    writeAccounts(*files.year);
    writeReportDefinitions(*files.year);
    tx.commit();
    return files;
}

} // namespace demo
