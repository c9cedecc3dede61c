#pragma once
#include <QString>
#include <QVariant>
#include <optional>

namespace app {

// Rounds to the nearest integer, a half to the even neighbour.
double roundHalfEven(double value);

// Text to a 16-bit integer the way the command line reads its numbers: blanks around the
// number are ignored, a fraction rounds half to even. Empty when the text is no number or
// the value does not fit.
std::optional<qint16> toInt16(const QString &text);

// The value of the number a text starts with; 0 when it starts with none ("12.5cm" is 12.5).
double leadingNumber(const QString &text);

// A stored value that is a whole number (an integer, or a real without a fraction); empty for
// text, a null, a fraction or a value beyond 64 bits.
std::optional<qint64> wholeNumber(const QVariant &value);

// A stored value as text; a null reads as empty text.
QString textOf(const QVariant &value);

// A number as plain text: 12 as "12", 12.5 as "12.5".
QString numberText(double value);

} // namespace app
