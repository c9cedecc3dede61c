#pragma once
#include "data/Connection.h"
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>

struct pg_conn;
struct pg_result;
struct pg_cancel;

namespace data {

// One database on a PostgreSQL server, reached with libpq and authenticated as libpq does it
// (password in the conninfo or URI, PGPASSWORD, ~/.pgpass; TLS as sslmode says). Statements keep
// the file engine's '?' placeholders; values travel as text and the server gives them the type
// their place in the statement calls for.
class PgConnection : public Connection {
public:
    // `server` is a libpq conninfo or URI; `database` replaces any database it names.
    PgConnection(const QString &server, const QString &database, Access access = Access::ReadWrite);
    ~PgConnection() override;

    Engine engine() const override { return Engine::Server; }
    bool hasTable(const QString &name) override;
    void execute(const QString &sql, const Params &params = {}) override;
    RowSet select(const QString &sql, const Params &params = {}) override;
    void walkRows(const QString &sql, const Params &params, const std::function<void(const Row &)> &onRow) override;
    void prepare(const QString &sql) override;
    void interrupt() override;
    void beginImmediate() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return depth_ > 0; }
    bool writable() const override;
    int busyWait() const override { return waitMs_; }
    void setBusyWait(int ms) override { waitMs_ = ms; }

    // Runs a script of several statements without parameters, such as a schema.
    void runScript(const QString &sql);

    // The libpq connection, for the benchmarks' baselines that go to the server directly.
    pg_conn *handle() const { return conn_; }

private:
    struct ResultDeleter {
        void operator()(pg_result *r) const;
    };
    using Result = std::unique_ptr<pg_result, ResultDeleter>;
    // The results of a walk's statement still to be read: from the server, or from memory once
    // a statement run while the walk steps has taken the connection.
    struct Walk {
        std::deque<Result> rest;
        bool drained = false;
    };
    Result next(Walk &walk);
    // The server's next result of the statement under way; null when it has sent them all.
    Result result();

    // Ready for the next statement: not interrupted, connected (again, after a lost connection
    // outside a transaction), the wait for locks as asked.
    void ready(const QString &sql);
    Result run(const QString &sql, const Params &params);
    Result command(const char *sql);
    [[noreturn]] void fail(const pg_result *result, const QString &sql);
    void configure();
    // A new session after a lost one, waited for briefly; false when the server cannot be reached.
    bool reconnect();
    void sendCancel();

    pg_conn *conn_ = nullptr;
    Access access_;
    std::mutex cancelLock_; // guards cancel_, which interrupt() uses from another thread
    pg_cancel *cancel_ = nullptr;
    std::atomic<bool> interrupted_{false};
    int depth_ = 0;
    bool lostInTransaction_ = false; // the transaction died with the connection: only rollback helps
    Walk *walk_ = nullptr;           // the innermost walk under way
    int waitMs_ = 5000;
    int appliedWaitMs_ = -1; // as the server has it; -1 when unknown
    std::chrono::steady_clock::time_point retryAfter_; // no new session tried before then
    QString unreachable_;                              // why the last try failed
};

} // namespace data
