#include "app/Convert.h"
#include <cmath>

namespace app {

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

std::optional<qint64> wholeNumber(const QVariant &value)
{
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return value.toLongLong();
    if (value.typeId() != QMetaType::Double)
        return std::nullopt;
    const double d = value.toDouble();
    if (d != std::floor(d) || std::abs(d) >= 9e18)
        return std::nullopt;
    return qint64(d);
}

QString textOf(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads [sign] digits [. digits] [e [sign] digits] from pos; blanks inside are skipped only when
// allowBlanks is set. Returns the number of characters consumed, 0 when there is no number.
int scanNumber(const QString &text, int pos, bool allowBlanks, double *value)
{
    QString digits;
    const int start = pos;
    auto skipBlanks = [&] {
        while (allowBlanks && pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')))
            ++pos;
    };
    skipBlanks();
    if (pos < text.size() && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
        digits += text[pos++];
    int mantissa = 0;
    auto readDigits = [&] {
        for (;;) {
            skipBlanks();
            if (pos < text.size() && isAsciiDigit(text[pos])) {
                digits += text[pos++];
                ++mantissa;
            } else {
                return;
            }
        }
    };
    readDigits();
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        digits += text[pos++];
        readDigits();
    }
    if (mantissa == 0)
        return 0;
    int end = pos;
    if (pos < text.size() && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        QString exponent = QStringLiteral("e");
        int p = pos + 1;
        if (p < text.size() && (text[p] == QLatin1Char('+') || text[p] == QLatin1Char('-')))
            exponent += text[p++];
        const int first = p;
        while (p < text.size() && isAsciiDigit(text[p]))
            exponent += text[p++];
        if (p > first) {
            digits += exponent;
            end = p;
        }
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0;
    *value = v;
    return end - start;
}

} // namespace

std::optional<qint16> toInt16(const QString &text)
{
    const QString t = text.trimmed();
    double v = 0;
    if (t.isEmpty() || scanNumber(t, 0, false, &v) != t.size())
        return std::nullopt;
    const double r = roundHalfEven(v);
    if (r < -32768 || r > 32767)
        return std::nullopt;
    return static_cast<qint16>(r);
}

double leadingNumber(const QString &text)
{
    double v = 0;
    return scanNumber(text, 0, true, &v) > 0 ? v : 0;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace app
