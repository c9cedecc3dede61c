#include "data/SqlCipherConnection.h"
#include "data/DbError.h"
#include "data/JetFunctions.h"
#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <thread>

namespace data {

namespace {

// The engine's own busy timeout may sleep in whole seconds, which lets a busy writer starve a
// waiting one; short sleeps keep both moving. The wait is measured on the clock, as a busy
// machine stretches every short sleep and counting them would wait far longer.
int waitWhileBusy(void *state, int attempt)
{
    auto &busy = *static_cast<SqlCipherConnection::BusyState *>(state);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0)
        busy.since = now;
    else if (now - busy.since >= std::chrono::milliseconds(busy.waitMs))
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return 1;
}

QVariant valueOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    }
}

bool textOf(sqlite3_value *v, QByteArrayView &bytes)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(v));
    bytes = QByteArrayView(text, sqlite3_value_bytes(v));
    return true;
}

// Numbers as they are, without the detour through a QVariant that every summed cell would take.
std::optional<double> numberOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_NULL:
        return std::nullopt;
    default:
        return numberValue(valueOf(v));
    }
}

DbCode codeOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_ERROR:
        return DbCode::Sql;
    case SQLITE_BUSY:
        return DbCode::Busy;
    case SQLITE_LOCKED:
        return DbCode::Locked;
    case SQLITE_CONSTRAINT:
        return DbCode::Constraint;
    case SQLITE_NOTADB:
        return DbCode::NotADatabase;
    case SQLITE_CANTOPEN:
        return DbCode::CantOpen;
    case SQLITE_READONLY:
        return DbCode::ReadOnly;
    case SQLITE_FULL:
        return DbCode::Full;
    case SQLITE_IOERR:
        return DbCode::Io;
    case SQLITE_CORRUPT:
        return DbCode::Corrupt;
    case SQLITE_INTERRUPT:
        return DbCode::Interrupted;
    default:
        return DbCode::Other;
    }
}

int stopWhenInterrupted(void *flag)
{
    return static_cast<std::atomic<bool> *>(flag)->load() ? 1 : 0;
}

constexpr int CachedStatements = 64;

} // namespace

class SqlCipherConnection::Statement {
public:
    Statement(SqlCipherConnection &db, const QString &sql, const Params &params)
        : db_(db), sql_(sql), s_(db.compile(sql, params)) {}
    ~Statement()
    {
        if (s_)
            db_.release(sql_, s_);
    }
    sqlite3_stmt *get() const { return s_; }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

private:
    SqlCipherConnection &db_;
    QString sql_;
    sqlite3_stmt *s_;
};

SqlCipherConnection::SqlCipherConnection(const QString &path, const QString &password, Access access)
    : path_(path)
{
    const QByteArray file = path.toUtf8();
    const bool readOnly = access == Access::ReadOnly;
    const int rc = sqlite3_open_v2(file.constData(), &db_, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(message, codeOf(rc));
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(db_, key.constData(), key.size());
    sqlite3_busy_handler(db_, waitWhileBusy, &busy_);
    // An interrupt that lands between two statements would be forgotten by the engine; the flag
    // stops the next one as well.
    sqlite3_progress_handler(db_, 1000, stopWhenInterrupted, &interrupted_);
    // The key is checked only when a page is read: read the schema now so that a wrong
    // password or a file that is no database fails here and not in the first window.
    try {
        select(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // Stored report SQL is written for the desktop engine; translated, it calls these.
        registerJetFunctions(db_);
        // Every page read from the file is decrypted; the default cache of 2,000 one-kilobyte
        // pages makes a long ordered list decrypt its pages again on every reload. The cache
        // grows only as pages are read.
        run("PRAGMA cache_size = -32768");
        // Files attached by a statement are refused writes too.
        if (readOnly)
            run("PRAGMA query_only = ON");
    } catch (const DbError &) {
        close();
        throw;
    }
}

SqlCipherConnection::~SqlCipherConnection()
{
    close();
}

void SqlCipherConnection::close()
{
    for (const Cached &c : std::as_const(cache_))
        sqlite3_finalize(c.statement);
    cache_.clear();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqlCipherConnection::fail(const QString &sql)
{
    const int code = sqlite3_extended_errcode(db_);
    // The engine calls a file deleted or replaced under an open connection read-only.
    if (code == SQLITE_READONLY_DBMOVED)
        throw DbError(QStringLiteral("The database file %1 was deleted or replaced while the program was running; "
                                     "start the program again to work on the file there now.")
                          .arg(path_),
                      DbCode::Moved, sql);
    throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)), codeOf(code), sql);
}

bool SqlCipherConnection::writable() const
{
    const QByteArray folder = QFileInfo(path_).absolutePath().toLocal8Bit();
    return sqlite3_db_readonly(db_, "main") == 0 && ::access(folder.constData(), W_OK) == 0;
}

sqlite3_stmt *SqlCipherConnection::compile(const QString &sql, const Params &params)
{
    // The engine's own interrupt is spent once the statement it stopped has ended, and a short
    // statement ends before the progress handler looks at the flag.
    if (interrupted_)
        throw DbError(QStringLiteral("interrupted"), DbCode::Interrupted, sql);
    // Taken out while in use, so that a read nested in another of the same text gets its own.
    sqlite3_stmt *s = cache_.take(sql).statement;
    if (!s) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), text.size(), &s, nullptr) != SQLITE_OK) {
            sqlite3_finalize(s);
            fail(sql);
        }
        if (!s) // an empty statement
            return nullptr;
    }
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params[i];
        int rc;
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(s, i + 1);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(s, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(s, i + 1, v.toDouble());
            break;
        default: {
            const QByteArray bytes = v.toString().toUtf8();
            rc = sqlite3_bind_text(s, i + 1, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
        }
        }
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            fail(sql);
        }
    }
    return s;
}

void SqlCipherConnection::release(const QString &sql, sqlite3_stmt *s)
{
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (cache_.contains(sql)) {
        sqlite3_finalize(s);
        return;
    }
    if (cache_.size() >= CachedStatements) {
        const auto oldest = std::min_element(cache_.begin(), cache_.end(), [](const Cached &a, const Cached &b) {
            return a.lastUse < b.lastUse;
        });
        sqlite3_finalize(oldest->statement);
        cache_.erase(oldest);
    }
    cache_.insert(sql, {s, ++uses_});
}

namespace {

class SteppedRow : public Row {
public:
    explicit SteppedRow(sqlite3_stmt *s) : s_(s), size_(sqlite3_column_count(s)) {}
    int size() const override { return size_; }
    QVariant value(int column) const override { return valueOf(sqlite3_column_value(s_, column)); }
    bool text(int column, QByteArrayView &bytes) const override
    {
        return textOf(sqlite3_column_value(s_, column), bytes);
    }
    std::optional<double> number(int column) const override { return numberOf(sqlite3_column_value(s_, column)); }

private:
    sqlite3_stmt *s_;
    int size_;
};

// The values a statement passes to each_row(...).
class ArgumentRow : public Row {
public:
    ArgumentRow(int count, sqlite3_value **values) : count_(count), values_(values) {}
    int size() const override { return count_; }
    QVariant value(int column) const override { return column < count_ ? valueOf(values_[column]) : QVariant(); }
    bool text(int column, QByteArrayView &bytes) const override
    {
        return column < count_ && textOf(values_[column], bytes);
    }
    std::optional<double> number(int column) const override
    {
        return column < count_ ? numberOf(values_[column]) : std::nullopt;
    }

private:
    int count_;
    sqlite3_value **values_;
};

void callEachRow(sqlite3_context *c, int count, sqlite3_value **values)
{
    const auto &eachRow = *static_cast<const std::function<void(const Row &)> *>(sqlite3_user_data(c));
    try {
        eachRow(ArgumentRow(count, values));
        sqlite3_result_null(c);
    } catch (const std::exception &e) { // nothing may leave through the engine's frames
        sqlite3_result_error(c, e.what(), -1);
    }
}

} // namespace

void SqlCipherConnection::walkRows(const QString &sql, const Params &params,
                                   const std::function<void(const Row &)> &onRow)
{
    Statement st(*this, sql, params);
    if (!st.get())
        return;
    const SteppedRow row(st.get());
    for (;;) {
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            return;
        if (rc != SQLITE_ROW)
            fail(sql);
        onRow(row);
    }
}

RowSet SqlCipherConnection::select(const QString &sql, const Params &params)
{
    RowSet result;
    Statement st(*this, sql, params);
    if (!st.get())
        return result;
    const int n = sqlite3_column_count(st.get());
    for (int i = 0; i < n; ++i)
        result.columns << QString::fromUtf8(sqlite3_column_name(st.get(), i));
    for (;;) {
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail(sql);
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = valueOf(sqlite3_column_value(st.get(), i));
        result.rows.push_back(std::move(row));
    }
    return result;
}

void SqlCipherConnection::execute(const QString &sql, const Params &params)
{
    Statement st(*this, sql, params);
    if (!st.get())
        return;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(sql);
}

bool SqlCipherConnection::withEachRow(const std::function<void(const Row &)> &eachRow,
                                      const std::function<void()> &work)
{
    // Not deterministic, so that the engine calls it for every row, whatever its values.
    const auto define = [this](void *state, void (*call)(sqlite3_context *, int, sqlite3_value **)) {
        if (sqlite3_create_function_v2(db_, "each_row", -1, SQLITE_UTF8, state, call, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            fail(QStringLiteral("each_row"));
    };
    define(const_cast<std::function<void(const Row &)> *>(&eachRow), callEachRow);
    try {
        work();
    } catch (...) {
        define(nullptr, nullptr);
        throw;
    }
    define(nullptr, nullptr);
    return true;
}

// A check compiles its text once; keeping it would fill the store with one-off statements.
void SqlCipherConnection::prepare(const QString &sql)
{
    sqlite3_finalize(compile(sql, {}));
}

void SqlCipherConnection::interrupt()
{
    interrupted_ = true;
    sqlite3_interrupt(db_);
}

bool SqlCipherConnection::hasTable(const QString &name)
{
    return !select(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"), {name})
                .rows.isEmpty();
}

void SqlCipherConnection::run(const char *sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(sql));
}

// Nested transactions become savepoints inside the outer one.
void SqlCipherConnection::beginImmediate()
{
    run(depth_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT nested");
    ++depth_;
}

void SqlCipherConnection::commit()
{
    if (depth_ == 0)
        return;
    run(depth_ == 1 ? "COMMIT" : "RELEASE nested");
    --depth_;
}

void SqlCipherConnection::rollback()
{
    if (depth_ == 0)
        return;
    --depth_;
    if (depth_ == 0) {
        if (!sqlite3_get_autocommit(db_))
            run("ROLLBACK");
    } else {
        run("ROLLBACK TO nested");
        run("RELEASE nested");
    }
}

} // namespace data
