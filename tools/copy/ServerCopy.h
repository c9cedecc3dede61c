#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <stdexcept>

// Moves a firm's databases from its encrypted files onto a database server, row for row.
namespace servercopy {

// The copy would overwrite rows on the server, or the server's database does not fit the file:
// nothing was written.
class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One file and the server database it goes into.
struct Move {
    QString file;        // the file's connection string
    QString database;    // the server database's name
    QStringList schemas; // schema resources that make the database when it is missing, in order
    bool keepFilled = false; // a database that holds rows already is kept as it is, not refused
};

// The firm's year file and firm file under root and their databases firm<F>_yr<Y> and firm<F>.
// The firm's database is shared by its years: once a first year has brought it onto the server,
// where the designers go on numbering, it is kept when a further year is copied.
QVector<Move> firmMoves(const QString &root, int firm, int year);

// What a database took once committed, or that it was kept as it was.
struct Copied {
    int tables = 0;
    qint64 rows = 0;
    bool kept = false;
};
using Done = std::function<void(const Move &move, const Copied &copied)>;

// Copies every table of each file, every column, with each row's rowid, in rowid order, into its
// database on the server (a libpq conninfo or URI); a missing database is created, and one without
// tables is given them, from its schemas.
// Every database is checked before any is written: one that holds a row (unless it is kept), or
// lacks a table or column of its file, throws Refused. Each database is filled in one transaction, and all are
// committed only once every file has been copied; on a failure the databases this call created
// are dropped again. Other failures throw data::DbError with the server's or the file's message.
void copyToServer(const QString &server, const QVector<Move> &moves, const Done &done = {});

} // namespace servercopy
