#include "tools/copy/ServerCopy.h"
#include "app/Paths.h"
#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/PgConnection.h"
#include "tools/demo/DemoData.h"
#include <QHash>
#include <QSet>
#include <memory>

namespace servercopy {

namespace {

// The server takes at most 65,535 parameters in one statement; a thousand rows a statement
// already makes the round trips a small part of the time.
const int MaxParameters = 65535;
const int RowsPerInsert = 1000;

QString fileName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The server's schema names its tables and columns unquoted, which it folds to lower case.
QString serverName(const QString &name)
{
    return fileName(name.toLower());
}

struct Table {
    QString name;
    QStringList columns;
};

QVector<Table> fileTables(data::Connection &file)
{
    QVector<Table> tables;
    for (const auto &row : file.select(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                                      "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"))
                               .rows) {
        Table table{row[0].toString(), {}};
        for (const auto &column : file.select(QStringLiteral("PRAGMA table_info(%1)").arg(fileName(table.name))).rows)
            table.columns << column[1].toString();
        tables << table;
    }
    return tables;
}

// One database being filled: its file's tables, and the open transaction on the server.
struct Target {
    const Move *move = nullptr;
    std::unique_ptr<data::Connection> file, db;
    std::unique_ptr<data::Transaction> transaction;
    QVector<Table> tables;
    bool created = false;
    bool kept = false; // filled already, and left as it is
};

// Opens the database and begins its transaction; a database without tables (new, or made empty
// for its owner by an administrator) gets them from the schemas first.
void openTarget(Target &t, const QString &server)
{
    t.db = data::Connection::open(app::serverConnectionString(server, t.move->database));
    t.transaction = std::make_unique<data::Transaction>(*t.db);
    if (t.db->select(QStringLiteral("SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema()"))
            .rows.isEmpty())
        for (const QString &schema : t.move->schemas)
            dynamic_cast<data::PgConnection &>(*t.db).runScript(demo::schemaText(schema));
}

[[noreturn]] void refuse(const Target &t, const QString &why)
{
    throw Refused(QStringLiteral("The server's database %1 %2; nothing was copied.").arg(t.move->database, why)
                      .toStdString());
}

// Refuses a database that lacks a table or column of the file.
void checkColumns(const Target &t)
{
    QHash<QString, QSet<QString>> columns;
    for (const auto &row : t.db->select(QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                                                       "WHERE table_schema = current_schema()"))
                               .rows)
        columns[row[0].toString()].insert(row[1].toString());
    for (const Table &table : t.tables) {
        const QString name = table.name.toLower();
        if (!columns.contains(name))
            refuse(t, QStringLiteral("has no table %1").arg(name));
        for (const QString &column : QStringList{QStringLiteral("rowid")} + table.columns)
            if (!columns[name].contains(column.toLower()))
                refuse(t, QStringLiteral("has no column %1.%2").arg(name, column.toLower()));
    }
}

bool holdsRows(const Target &t)
{
    for (const Table &table : t.tables) {
        const auto rows = t.db->select(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 LIMIT 1) AS t")
                                           .arg(serverName(table.name)));
        if (rows.rows[0][0].toLongLong() > 0)
            return true;
    }
    return false;
}

QString insertText(const Table &table, int rows)
{
    QStringList columns{QStringLiteral("rowid")};
    for (const QString &column : table.columns)
        columns << serverName(column);
    const QString marks = QLatin1Char('(') + QStringLiteral("?, ").repeated(columns.size() - 1) + QStringLiteral("?)");
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << marks;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(serverName(table.name), columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
}

// Drops the table's plain indexes and returns the statements that make them again: building an
// index over a million rows at once costs the server far less than keeping it up row by row.
QStringList setIndexesAside(data::Connection &db, const QString &table)
{
    QStringList remake;
    for (const auto &index : db.select(QStringLiteral("SELECT c.relname, pg_get_indexdef(x.indexrelid) FROM pg_index x "
                                                      "JOIN pg_class c ON c.oid = x.indexrelid "
                                                      "WHERE x.indrelid = to_regclass(?) AND NOT x.indisunique"),
                                       {serverName(table)})
                               .rows) {
        db.execute(QStringLiteral("DROP INDEX ") + fileName(index[0].toString()));
        remake << index[1].toString();
    }
    return remake;
}

// Streams the table's rows in rowid order into multi-row inserts; returns the rows copied.
qint64 copyTable(Target &t, const Table &table)
{
    const QStringList indexes = setIndexesAside(*t.db, table.name);
    QStringList columns{QStringLiteral("rowid")};
    for (const QString &column : table.columns)
        columns << fileName(column);
    const int width = columns.size();
    const int batch = qMin(RowsPerInsert, MaxParameters / width);
    const QString fullInsert = insertText(table, batch);
    data::Params values;
    values.reserve(batch * width);
    qint64 rows = 0, lastRowId = 0;
    t.file->walkRows(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns.join(QStringLiteral(", ")),
                                                                          fileName(table.name)),
                     {}, [&](const data::Row &row) {
                         for (int i = 0; i < width; ++i)
                             values << row.value(i);
                         lastRowId = row.value(0).toLongLong();
                         ++rows;
                         if (values.size() == batch * width) {
                             t.db->execute(fullInsert, values);
                             values.clear();
                         }
                     });
    if (!values.isEmpty())
        t.db->execute(insertText(table, values.size() / width), values);
    for (const QString &index : indexes)
        t.db->execute(index);
    // Rows added on the server later take their rowids after the copied ones.
    if (rows > 0)
        t.db->select(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, 'rowid'), ?)"),
                     {table.name.toLower(), lastRowId});
    return rows;
}

} // namespace

QVector<Move> firmMoves(const QString &root, int firm, int year)
{
    return {{app::yearConnectionString(root, firm, year), app::yearServerDatabase(firm, year),
             {QStringLiteral("pg/year"), QStringLiteral("pg/functions")}},
            {app::firmConnectionString(root, firm), app::firmServerDatabase(firm), {QStringLiteral("pg/firm")}, true}};
}

void copyToServer(const QString &server, const QVector<Move> &moves, const Done &done)
{
    const auto admin = data::Connection::open(app::serverConnectionString(server, QStringLiteral("postgres")));
    std::vector<Target> targets(moves.size());
    try {
        // Every database is checked before any is created or written.
        for (int i = 0; i < moves.size(); ++i) {
            Target &t = targets[i];
            t.move = &moves[i];
            try {
                t.file = data::Connection::open(t.move->file, data::Access::ReadOnly);
            } catch (const data::DbError &e) {
                // The engine's message does not say which file.
                throw data::DbError(data::parseConnectionString(t.move->file).value(QStringLiteral("data source"))
                                        + QStringLiteral(": ") + e.text(),
                                    e.code());
            }
            t.tables = fileTables(*t.file);
            const auto found = admin->select(
                QStringLiteral("SELECT pg_encoding_to_char(encoding) FROM pg_database WHERE datname = ?"),
                {t.move->database});
            if (found.rows.isEmpty())
                continue;
            if (found.rows[0][0].toString() != QLatin1String("UTF8"))
                refuse(t, QStringLiteral("does not store its text as UTF-8"));
            openTarget(t, server);
            checkColumns(t);
            t.kept = holdsRows(t);
            if (t.kept && !t.move->keepFilled)
                refuse(t, QStringLiteral("already holds data: the copy never overwrites a database"));
            if (t.kept) {
                // Designers may be working in it: its transaction must not hold them up.
                t.transaction.reset();
                t.db.reset();
            }
        }
        for (Target &t : targets) {
            if (t.db || t.kept)
                continue;
            admin->execute(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'")
                               .arg(serverName(t.move->database)));
            t.created = true;
            openTarget(t, server);
            checkColumns(t);
        }
        QVector<qint64> rows(targets.size());
        for (size_t i = 0; i < targets.size(); ++i) {
            if (targets[i].kept)
                continue;
            for (const Table &table : targets[i].tables) {
                try {
                    rows[i] += copyTable(targets[i], table);
                } catch (const data::DbError &e) {
                    throw data::DbError(QStringLiteral("Copying table %1 into %2: %3")
                                            .arg(table.name, targets[i].move->database, e.text()),
                                        e.code());
                }
            }
        }
        for (size_t i = 0; i < targets.size(); ++i) {
            Target &t = targets[i];
            if (!t.kept) {
                t.transaction->commit();
                // The server plans the first queries on a filled database from fresh statistics.
                t.db->execute(QStringLiteral("ANALYZE"));
            }
            if (done)
                done(*t.move, t.kept ? Copied{0, 0, true} : Copied{int(t.tables.size()), rows[int(i)], false});
        }
    } catch (...) {
        for (Target &t : targets) {
            t.transaction.reset();
            t.db.reset();
            if (t.created) {
                try {
                    admin->execute(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(serverName(t.move->database)));
                } catch (const data::DbError &) {
                    // The first failure is the one to report.
                }
            }
        }
        throw;
    }
}

} // namespace servercopy
