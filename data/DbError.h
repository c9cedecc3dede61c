#pragma once
#include <QString>
#include <stdexcept>

namespace data {

// What went wrong, as the engine (or this program) names it; tests and handlers test this, the
// user reads the text.
enum class DbCode {
    Other,
    Sql,          // the statement does not compile: a syntax error, no such table or column
    Busy,         // another program holds the file's (or the server's) lock past the wait
    Locked,       // a table is locked by another statement of this connection
    Constraint,   // a key or another constraint refused the change
    NotADatabase, // the file is no database, or the password is wrong
    CantOpen,     // the file is missing or cannot be opened
    ReadOnly,     // the file or its folder cannot be written
    Moved,        // the file was deleted or replaced while the program had it open
    Full,         // the disk is full
    Io,           // the file cannot be read or written
    Corrupt,      // the file is damaged
    Interrupted,  // the statement was stopped on request
    NotOpen,      // the database was never opened or has been closed
    Missing,      // a row the routine needs does not exist
    BadCounter,   // a record-number counter that holds no whole number
    Lost,         // the connection to the server broke; the next statement outside a transaction connects again
};

// A failure of the database engine, carrying the engine's own message, its code and the statement
// that failed (empty when no statement was running).
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message, DbCode code = DbCode::Other, const QString &statement = {})
        : std::runtime_error(message.toStdString()), text_(message), code_(code), statement_(statement) {}
    const QString &text() const { return text_; }
    DbCode code() const { return code_; }
    const QString &statement() const { return statement_; }

private:
    QString text_;
    DbCode code_;
    QString statement_;
};

// The translator refused a text: `position` is the 1-based character where it stopped.
class SyntaxError : public DbError {
public:
    SyntaxError(int position, const QString &what)
        : DbError(QStringLiteral("Syntax error at position %1: %2").arg(position).arg(what), DbCode::Sql),
          position_(position) {}
    int position() const { return position_; }

private:
    int position_;
};

} // namespace data
