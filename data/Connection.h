#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

namespace data {

using Params = QVector<QVariant>;

// Rows of one select: column names and every value, row by row. A null is an invalid QVariant.
struct RowSet {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
};

// One row as the engine steps it, its values read only where asked for: for a walk over many
// rows that needs few of their values.
class Row {
public:
    virtual ~Row() = default;
    virtual int size() const = 0;
    virtual QVariant value(int column) const = 0;
    // The UTF-8 bytes of a text value; false when the value is no text.
    virtual bool text(int column, QByteArrayView &bytes) const = 0;
    // The value as a number the way the desktop engine reads one (numberValue); empty for a null
    // and for text that is no number.
    virtual std::optional<double> number(int column) const;

    // Every value into `values`, which keeps its storage from row to row.
    void copyTo(QVector<QVariant> &values) const
    {
        values.resize(size());
        for (int i = 0; i < values.size(); ++i)
            values[i] = value(i);
    }
};

// A connection that only reads cannot change the database, whatever text it is given to run.
enum class Access { ReadWrite, ReadOnly };

// Where the data live: an encrypted file of this machine, or a database server shared by several
// workstations. The SQL a statement may use differs between the two.
enum class Engine { File, Server };

// Appends a row's value to `key` so that two values give the same bytes when the engine's
// ORDER BY and GROUP BY hold them equal: numbers by their value, Null as itself, text by its
// bytes or, as the tables' text columns compare, ignoring case (of A to Z on the files, of every
// letter on the server).
void appendKey(QByteArray &key, const Row &row, int column, Engine engine, bool ignoreCase);

// An open link to one database. The provider named by the connection string decides the engine;
// windows and routines see only this interface.
class Connection {
public:
    virtual ~Connection() = default;

    // Opens the database named by a "Provider=SQLCipher;Data Source=...;Password=...;" string, or
    // by "Provider=PostgreSQL;Database=...;Server=<libpq conninfo or URI>" on a server.
    // Never creates a database; throws DbError with the engine's message when the file or database
    // is missing, the password is wrong, the server cannot be reached or the file is not a database.
    static std::unique_ptr<Connection> open(const QString &connectionString, Access access = Access::ReadWrite);

    virtual Engine engine() const = 0;
    // Whether the database holds a table of that name, in any case.
    virtual bool hasTable(const QString &name) = 0;

    virtual void execute(const QString &sql, const Params &params = {}) = 0;
    virtual RowSet select(const QString &sql, const Params &params = {}) = 0;
    // Calls onRow for each row without keeping them, for reads that build their own store.
    void forEachRow(const QString &sql, const Params &params,
                    const std::function<void(const QVector<QVariant> &)> &onRow);
    // The same, handing over each row as the engine steps it.
    virtual void walkRows(const QString &sql, const Params &params, const std::function<void(const Row &)> &onRow) = 0;
    // Runs `work` while its statements may call each_row(...): a call hands its values to
    // eachRow as a Row and gives Null. A select that passes every row it reads to each_row and
    // keeps only its first rows shows the program the whole result in one read, unsorted.
    // Returns false, running nothing, where the engine cannot call back into the program.
    virtual bool withEachRow(const std::function<void(const Row &)> &eachRow, const std::function<void()> &work)
    {
        Q_UNUSED(eachRow);
        Q_UNUSED(work);
        return false;
    }
    // Compiles the statement without running it; throws DbError when the engine refuses it.
    virtual void prepare(const QString &sql) = 0;
    // Safe from any thread: the statement running now fails with DbError, and so does every later
    // one, so a connection opened for one cancellable job cannot miss the call by a hair.
    virtual void interrupt() = 0;

    // Write-locked transaction: taken at begin, so a read-modify-write inside it is safe
    // against other programs sharing the file.
    virtual void beginImmediate() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;

    // False when this program cannot write the database: a read-only file, or a folder or medium
    // where the engine cannot write its journal beside the file.
    virtual bool writable() const = 0;

    // How long a statement waits for another program's lock before it fails, in milliseconds.
    virtual int busyWait() const = 0;
    virtual void setBusyWait(int ms) = 0;
};

// A shorter wait for locks while it lives: a window that must stay usable tries again later
// rather than freeze while another program holds the file.
class BriefWait {
public:
    BriefWait(Connection &db, int ms) : db_(db), before_(db.busyWait()) { db_.setBusyWait(qMin(ms, before_)); }
    ~BriefWait() { db_.setBusyWait(before_); }
    BriefWait(const BriefWait &) = delete;
    BriefWait &operator=(const BriefWait &) = delete;

private:
    Connection &db_;
    int before_;
};

// Rolls back on scope exit unless committed.
class Transaction {
public:
    explicit Transaction(Connection &db) : db_(db) { db_.beginImmediate(); }
    ~Transaction()
    {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
            }
        }
    }
    void commit()
    {
        db_.commit();
        done_ = true;
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Connection &db_;
    bool done_ = false;
};

} // namespace data
