#pragma once
#include <QString>
#include <stdexcept>

namespace data {

// A failure of the database engine, carrying the engine's own message.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message)
        : std::runtime_error(message.toStdString()), text_(message) {}
    const QString &text() const { return text_; }

private:
    QString text_;
};

} // namespace data
