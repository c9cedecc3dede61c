#pragma once
#include "data/Connection.h"
#include <atomic>
#include <chrono>
#include <QHash>

struct sqlite3;
struct sqlite3_stmt;

namespace data {

// One SQLCipher file, keyed with its password at open.
class SqlCipherConnection : public Connection {
public:
    SqlCipherConnection(const QString &path, const QString &password, Access access = Access::ReadWrite);
    ~SqlCipherConnection() override;

    void execute(const QString &sql, const Params &params = {}) override;
    RowSet select(const QString &sql, const Params &params = {}) override;
    void walkRows(const QString &sql, const Params &params, const std::function<void(const Row &)> &onRow) override;
    Engine engine() const override { return Engine::File; }
    bool hasTable(const QString &name) override;
    bool withEachRow(const std::function<void(const Row &)> &eachRow, const std::function<void()> &work) override;
    void prepare(const QString &sql) override;
    void interrupt() override;
    void beginImmediate() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return depth_ > 0; }
    bool writable() const override;
    int busyWait() const override { return busy_.waitMs; }
    void setBusyWait(int ms) override { busy_.waitMs = ms; }

    struct BusyState {
        std::chrono::steady_clock::time_point since; // when the current wait for a lock began
        int waitMs = 5000;
    };

    sqlite3 *handle() const { return db_; }

private:
    QString path_;
    class Statement;
    // A statement for the text with the parameters bound: a cached one when it is free.
    sqlite3_stmt *compile(const QString &sql, const Params &params);
    // Hands a statement back after use: reset and kept for its text, or finalized.
    void release(const QString &sql, sqlite3_stmt *statement);
    [[noreturn]] void fail(const QString &sql);
    void run(const char *sql);
    void close();

    sqlite3 *db_ = nullptr;
    // Prepared statements by their text. A save repeats one insert per row and a prepare costs
    // more than the insert itself. When full, the one used longest ago makes room.
    struct Cached {
        sqlite3_stmt *statement = nullptr;
        quint64 lastUse = 0;
    };
    QHash<QString, Cached> cache_;
    quint64 uses_ = 0;
    int depth_ = 0;
    std::atomic<bool> interrupted_{false};
    BusyState busy_;
};

} // namespace data
