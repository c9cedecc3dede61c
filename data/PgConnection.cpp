#include "data/PgConnection.h"
#include "data/DbError.h"
#include <QLocale>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <libpq-fe.h>
#include <poll.h>
#include <vector>

namespace data {

namespace {

// The one advisory lock a write transaction takes in its database ("Designer" in ASCII): saves
// of all workstations queue on it as programs sharing a file queue on the file's write lock.
constexpr qint64 SaveLock = 0x44657369676e6572;

// The file engine's '?' placeholders as the server's $1..$n, outside quotes, brackets and comments.
QByteArray positional(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        const QChar next = i + 1 < sql.size() ? sql[i + 1] : QChar();
        qsizetype end = -1; // the last character of a quoted name, text or comment
        if (c == u'\'' || c == u'"')
            end = sql.indexOf(c, i + 1);
        else if (c == u'[')
            end = sql.indexOf(u']', i + 1);
        else if (c == u'-' && next == u'-')
            end = sql.indexOf(u'\n', i);
        else if (c == u'/' && next == u'*') {
            end = sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? -1 : end + 1;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
            continue;
        } else {
            out += c;
            continue;
        }
        if (end < 0)
            end = sql.size() - 1;
        out += QStringView(sql).mid(i, end - i + 1);
        i = end;
    }
    return out.toUtf8();
}

// Values as the server's text input: it reads them as the type their place calls for.
class Bound {
public:
    explicit Bound(const Params &params)
    {
        texts_.reserve(params.size());
        for (const QVariant &v : params) {
            switch (v.typeId()) {
            case QMetaType::UnknownType:
                texts_.emplace_back();
                break;
            case QMetaType::Bool:
                texts_.emplace_back(v.toBool() ? "1" : "0");
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                texts_.push_back(QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest));
                break;
            default:
                texts_.push_back(v.toString().toUtf8());
            }
            values_.push_back(v.isValid() ? texts_.back().constData() : nullptr);
        }
    }
    int size() const { return int(values_.size()); }
    const char *const *values() const { return values_.data(); }

private:
    std::vector<QByteArray> texts_;
    std::vector<const char *> values_;
};

enum class Kind { Integer, Real, Boolean, Text };

Kind kindOf(Oid type)
{
    switch (type) {
    case 20: // int8
    case 21: // int2
    case 23: // int4
    case 26: // oid
        return Kind::Integer;
    case 700:  // float4
    case 701:  // float8
    case 1700: // numeric
        return Kind::Real;
    case 16: // bool, read as the files' 1 and 0
        return Kind::Boolean;
    default:
        return Kind::Text;
    }
}

QVector<Kind> kindsOf(const PGresult *r)
{
    QVector<Kind> kinds(PQnfields(r));
    for (int i = 0; i < kinds.size(); ++i)
        kinds[i] = kindOf(PQftype(r, i));
    return kinds;
}

QVariant valueOf(const PGresult *r, int row, int column, Kind kind)
{
    if (PQgetisnull(r, row, column))
        return {};
    const char *text = PQgetvalue(r, row, column);
    const int length = PQgetlength(r, row, column);
    switch (kind) {
    case Kind::Integer:
        return QVariant(qlonglong(std::strtoll(text, nullptr, 10)));
    case Kind::Real: {
        bool ok = false;
        const double d = QByteArray::fromRawData(text, length).toDouble(&ok);
        if (ok)
            return d;
        if (std::strcmp(text, "NaN") == 0)
            return std::nan("");
        return text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    case Kind::Boolean:
        return QVariant(qlonglong(text[0] == 't' ? 1 : 0));
    case Kind::Text:
        break;
    }
    return QString::fromUtf8(text, length);
}

DbCode codeOf(const QByteArray &state)
{
    static const struct {
        const char *state;
        DbCode code;
    } codes[] = {
        {"55P03", DbCode::Busy}, // lock_not_available: lock_timeout ran out
        {"40001", DbCode::Busy}, // serialization_failure
        {"40P01", DbCode::Busy}, // deadlock_detected
        {"57014", DbCode::Interrupted},
        {"57P01", DbCode::Lost}, // the server shuts down or restarts
        {"57P02", DbCode::Lost},
        {"57P03", DbCode::Lost},
        {"25006", DbCode::ReadOnly}, // a write in a read-only session
        {"42501", DbCode::ReadOnly}, // no right to write the table
        {"3D000", DbCode::CantOpen}, // no such database
        {"53100", DbCode::Full},
        {"58030", DbCode::Io},
        {"XX001", DbCode::Corrupt},
        {"XX002", DbCode::Corrupt},
        {"23", DbCode::Constraint},
        {"08", DbCode::Lost},
        {"28", DbCode::CantOpen}, // authentication
        {"42", DbCode::Sql},
    };
    for (const auto &c : codes)
        if (state.startsWith(c.state))
            return c.code;
    return DbCode::Other;
}

QString errorText(const PGconn *conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

void quiet(void *, const char *) {}

class ResultRow : public Row {
public:
    ResultRow(const PGresult *r, const QVector<Kind> &kinds) : r_(r), kinds_(kinds) {}
    int size() const override { return kinds_.size(); }
    QVariant value(int column) const override { return valueOf(r_, 0, column, kinds_[column]); }
    bool text(int column, QByteArrayView &bytes) const override
    {
        if (kinds_[column] != Kind::Text || PQgetisnull(r_, 0, column))
            return false;
        bytes = QByteArrayView(PQgetvalue(r_, 0, column), PQgetlength(r_, 0, column));
        return true;
    }

private:
    const PGresult *r_;
    const QVector<Kind> &kinds_;
};

} // namespace

void PgConnection::ResultDeleter::operator()(pg_result *r) const
{
    PQclear(r);
}

PgConnection::PgConnection(const QString &server, const QString &database, Access access) : access_(access)
{
    const QByteArray serverText = server.toUtf8(), name = database.toUtf8();
    // Keys later in the list override the server's text; a timeout of its own overrides ours.
    const char *keys[] = {"connect_timeout", "dbname", "dbname", "client_encoding", "fallback_application_name",
                          nullptr};
    const char *values[] = {"10", serverText.constData(), name.constData(), "UTF8", "designer", nullptr};
    const bool timeoutSet = qEnvironmentVariableIsSet("PGCONNECT_TIMEOUT");
    conn_ = PQconnectdbParams(timeoutSet ? keys + 1 : keys, timeoutSet ? values + 1 : values, 1);
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString message = errorText(conn_);
        PQfinish(conn_);
        throw DbError(message, DbCode::CantOpen);
    }
    // The server's notices ("extension exists, skipping") are no business of the user's.
    PQsetNoticeProcessor(conn_, quiet, nullptr);
    try {
        configure();
    } catch (const DbError &) {
        PQfreeCancel(cancel_);
        PQfinish(conn_);
        throw;
    }
}

PgConnection::~PgConnection()
{
    PQfreeCancel(cancel_);
    PQfinish(conn_);
}

void PgConnection::configure()
{
    {
        std::lock_guard<std::mutex> hold(cancelLock_);
        PQfreeCancel(cancel_);
        cancel_ = PQgetCancel(conn_);
    }
    appliedWaitMs_ = -1;
    // Doubles come back as the shortest text that reads as the same number.
    command("SET extra_float_digits = 3");
    if (access_ == Access::ReadOnly)
        command("SET default_transaction_read_only = on");
}

void PgConnection::sendCancel()
{
    std::lock_guard<std::mutex> hold(cancelLock_);
    char error[256];
    if (cancel_)
        PQcancel(cancel_, error, sizeof error);
}

void PgConnection::fail(const PGresult *result, const QString &sql)
{
    QString message;
    QByteArray state;
    if (result) {
        message = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
        const QString detail = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL));
        if (!detail.isEmpty())
            message += QLatin1Char('\n') + detail;
        state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    }
    if (message.isEmpty())
        message = errorText(conn_);
    if (PQstatus(conn_) == CONNECTION_BAD) {
        lostInTransaction_ = depth_ > 0;
        throw DbError(QStringLiteral("The connection to the server was lost%1: %2")
                          .arg(lostInTransaction_ ? QStringLiteral(" and the change was not stored") : QString(),
                               message),
                      DbCode::Lost, sql);
    }
    throw DbError(message, codeOf(state), sql);
}

void PgConnection::ready(const QString &sql)
{
    if (interrupted_)
        throw DbError(QStringLiteral("interrupted"), DbCode::Interrupted, sql);
    // A statement run while a walk steps: the rest of the walk's rows wait in memory.
    if (walk_ && !walk_->drained) {
        while (Result r = result())
            walk_->rest.push_back(std::move(r));
        walk_->drained = true;
    }
    if (lostInTransaction_)
        throw DbError(QStringLiteral("The connection to the server was lost and the change was not stored."),
                      DbCode::Lost, sql);
    // A server that restarted since the last statement has said so and closed the connection:
    // read before the statement is sent, outside a transaction, a new connection runs it instead.
    // The goodbye is read, taken as a notice, and the close read after it.
    if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) == PQTRANS_IDLE && PQconsumeInput(conn_)) {
        PQisBusy(conn_);
        PQconsumeInput(conn_);
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        if (!reconnect())
            throw DbError(QStringLiteral("The server cannot be reached: ") + unreachable_, DbCode::Lost, sql);
        configure();
    }
    // Zero would wait for ever on the server; the file engine gives up at once.
    const int wait = qMax(1, waitMs_);
    if (wait != appliedWaitMs_) {
        command(QByteArray("SET lock_timeout = ") + QByteArray::number(wait));
        appliedWaitMs_ = wait;
    }
}

// A window's statement waits ReconnectMs at most for a server that does not answer (a machine
// switched off answers nothing); after a failed attempt, statements fail at once for BackoffMs
// rather than each waiting again, as a list reads one statement per row it paints.
bool PgConnection::reconnect()
{
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds ReconnectMs(3000), BackoffMs(10000);
    if (Clock::now() < retryAfter_)
        return false;
    const auto deadline = Clock::now() + ReconnectMs;
    PostgresPollingStatusType state = PQresetStart(conn_) ? PGRES_POLLING_WRITING : PGRES_POLLING_FAILED;
    while (state == PGRES_POLLING_READING || state == PGRES_POLLING_WRITING) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd socket{PQsocket(conn_), short(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int ready = left > 0 ? ::poll(&socket, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        state = PQresetPoll(conn_);
    }
    if (state == PGRES_POLLING_OK)
        return true;
    unreachable_ = state == PGRES_POLLING_FAILED ? errorText(conn_)
                                                 : QStringLiteral("no answer within %1 seconds.").arg(ReconnectMs.count() / 1000);
    retryAfter_ = Clock::now() + BackoffMs;
    return false;
}

PgConnection::Result PgConnection::command(const char *sql)
{
    Result r(PQexec(conn_, sql));
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(r.get(), QString::fromUtf8(sql));
    return r;
}

PgConnection::Result PgConnection::run(const QString &sql, const Params &params)
{
    ready(sql);
    const Bound bound(params);
    if (!PQsendQueryParams(conn_, positional(sql).constData(), bound.size(), nullptr, bound.values(), nullptr,
                           nullptr, 0))
        fail(nullptr, sql);
    // An interrupt between the check above and the send would find nothing to cancel.
    if (interrupted_)
        sendCancel();
    Result last, error;
    while (Result r = result()) {
        const ExecStatusType status = PQresultStatus(r.get());
        if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY)
            last = std::move(r);
        else if (!error)
            error = std::move(r);
    }
    if (error || !last)
        fail(error.get(), sql);
    return last;
}

PgConnection::Result PgConnection::result()
{
    // The server drops a cancel that reaches it before it has read the statement, so while
    // interrupted the cancel is sent again until the statement ends.
    while (PQisBusy(conn_)) {
        pollfd socket{PQsocket(conn_), POLLIN, 0};
        if (::poll(&socket, 1, 200) == 0) {
            if (interrupted_)
                sendCancel();
        } else if (!PQconsumeInput(conn_)) {
            break; // PQgetResult tells the failure
        }
    }
    return Result(PQgetResult(conn_));
}

void PgConnection::execute(const QString &sql, const Params &params)
{
    run(sql, params);
}

RowSet PgConnection::select(const QString &sql, const Params &params)
{
    const Result r = run(sql, params);
    RowSet result;
    const QVector<Kind> kinds = kindsOf(r.get());
    for (int i = 0; i < kinds.size(); ++i)
        result.columns << QString::fromUtf8(PQfname(r.get(), i));
    const int rows = PQntuples(r.get());
    result.rows.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        QVector<QVariant> values(kinds.size());
        for (int i = 0; i < kinds.size(); ++i)
            values[i] = valueOf(r.get(), row, i, kinds[i]);
        result.rows.push_back(std::move(values));
    }
    return result;
}

PgConnection::Result PgConnection::next(Walk &walk)
{
    if (!walk.rest.empty()) {
        Result r = std::move(walk.rest.front());
        walk.rest.pop_front();
        return r;
    }
    if (walk.drained)
        return nullptr;
    Result r = result();
    walk.drained = !r;
    return r;
}

// Rows arrive one at a time, so a walk over a whole year holds one row, not the year.
void PgConnection::walkRows(const QString &sql, const Params &params, const std::function<void(const Row &)> &onRow)
{
    ready(sql);
    const Bound bound(params);
    if (!PQsendQueryParams(conn_, positional(sql).constData(), bound.size(), nullptr, bound.values(), nullptr,
                           nullptr, 0))
        fail(nullptr, sql);
    PQsetSingleRowMode(conn_);
    if (interrupted_)
        sendCancel();
    Walk walk;
    Walk *const outer = std::exchange(walk_, &walk);
    Result error;
    QVector<Kind> kinds;
    bool shaped = false;
    try {
        while (Result r = next(walk)) {
            const ExecStatusType status = PQresultStatus(r.get());
            if (status == PGRES_SINGLE_TUPLE) {
                if (interrupted_)
                    throw DbError(QStringLiteral("interrupted"), DbCode::Interrupted, sql);
                if (!std::exchange(shaped, true))
                    kinds = kindsOf(r.get());
                onRow(ResultRow(r.get(), kinds));
            } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && !error) {
                error = std::move(r);
            }
        }
    } catch (...) {
        // The walk stops early: the rows still to come are not wanted.
        if (!walk.drained) {
            sendCancel();
            while (Result rest = result()) {
            }
        }
        walk_ = outer;
        throw;
    }
    walk_ = outer;
    if (error)
        fail(error.get(), sql);
}

void PgConnection::prepare(const QString &sql)
{
    ready(sql);
    const Result r(PQprepare(conn_, "", positional(sql).constData(), 0, nullptr));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        fail(r.get(), sql);
}

void PgConnection::runScript(const QString &sql)
{
    ready(sql);
    const Result r(PQexec(conn_, sql.toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
        fail(r.get(), sql);
}

void PgConnection::interrupt()
{
    interrupted_ = true;
    sendCancel();
}

bool PgConnection::hasTable(const QString &name)
{
    return !select(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class c WHERE c.relkind IN ('r', 'p') "
                                  "AND c.relname = lower(?) AND pg_catalog.pg_table_is_visible(c.oid)"),
                   {name})
                .rows.isEmpty();
}

// Read-only when the session or the server is, or when the user may not change the tables the
// designer writes (those of them this database holds).
bool PgConnection::writable() const
{
    if (access_ == Access::ReadOnly)
        return false;
    try {
        const RowSet r = const_cast<PgConnection *>(this)->select(QStringLiteral(
            "SELECT NOT pg_catalog.pg_is_in_recovery() AND current_setting('transaction_read_only') = 'off' "
            "AND coalesce(bool_and(has_table_privilege(c.oid, 'INSERT') AND has_table_privilege(c.oid, 'UPDATE') "
            "AND has_table_privilege(c.oid, 'DELETE')), true) "
            "FROM pg_catalog.pg_class c WHERE c.relkind IN ('r', 'p') AND pg_catalog.pg_table_is_visible(c.oid) "
            "AND c.relname IN ('zoctr', 'crmain', 'crchild', 'crcustfld', 'zof05')"));
        return r.rows.value(0).value(0).toLongLong() == 1;
    } catch (const DbError &) {
        return false;
    }
}

// The lock serialises this database's write transactions across workstations; nested
// transactions become savepoints inside the outer one.
void PgConnection::beginImmediate()
{
    if (depth_ > 0) {
        run(QStringLiteral("SAVEPOINT nested"), {});
        ++depth_;
        return;
    }
    run(QStringLiteral("BEGIN"), {});
    try {
        run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(SaveLock), {});
    } catch (const DbError &) {
        Result(PQexec(conn_, "ROLLBACK"));
        throw;
    }
    depth_ = 1;
}

void PgConnection::commit()
{
    if (depth_ == 0)
        return;
    if (depth_ > 1) {
        run(QStringLiteral("RELEASE SAVEPOINT nested"), {});
        --depth_;
        return;
    }
    const Result r = run(QStringLiteral("COMMIT"), {});
    depth_ = 0;
    // The server ends a transaction that failed earlier with a rollback, and still calls it done.
    if (std::strcmp(PQcmdStatus(r.get()), "ROLLBACK") == 0)
        throw DbError(QStringLiteral("A statement of the transaction failed; nothing of it was stored."),
                      DbCode::Other, QStringLiteral("COMMIT"));
}

void PgConnection::rollback()
{
    if (depth_ == 0)
        return;
    --depth_;
    // A rollback undoes the lock_timeout set inside the transaction as well.
    appliedWaitMs_ = -1;
    if (depth_ == 0) {
        lostInTransaction_ = false;
        if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) != PQTRANS_IDLE)
            command("ROLLBACK");
    } else if (!lostInTransaction_) {
        command("ROLLBACK TO SAVEPOINT nested");
        command("RELEASE SAVEPOINT nested");
    }
}

} // namespace data
