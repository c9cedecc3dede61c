#include "data/JetFunctions.h"
#include "data/DbError.h"
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

namespace data {

namespace {

using Values = sqlite3_value **;

// A failure inside a function; the query stops with its text as the engine's error.
struct Failure {
    QByteArray message;
};

[[noreturn]] void mismatch(const char *function)
{
    throw Failure{QByteArray("Type mismatch in ") + function};
}

bool isNull(sqlite3_value *v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

QString numberText(double d)
{
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

// A value as the desktop engine shows it as text: 2.0 is "2".
QString textOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    }
}

// A value of a row as the functions below see it.
QVariant variantOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    default:
        return textOf(v);
    }
}

bool isNumeric(const QVariant &v)
{
    return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::Double;
}

// Text as 'YYYY-MM-DD...' or a day number counted from 30 December 1899.
bool dateOfVariant(const QVariant &v, QDate &date)
{
    if (isNumeric(v)) {
        date = QDate(1899, 12, 30).addDays(qint64(std::floor(v.toDouble())));
        return true;
    }
    date = QDate::fromString(v.toString().trimmed().left(10), Qt::ISODate);
    return date.isValid();
}

bool dateOf(sqlite3_value *v, QDate &date)
{
    return dateOfVariant(variantOf(v), date);
}

// Text as the desktop engine reads a number in it: thousands separators and a percent sign are
// understood, blanks around it ignored.
bool parseNumber(const QString &text, double &out)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d{1,3}(?:,\\d{3})+|\\d*)(?:\\.\\d*)?(?:[eE][+-]?\\d+)?)\\s*(%?)\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return false;
    bool ok = false;
    out = m.captured(1).remove(QLatin1Char(',')).toDouble(&ok);
    if (ok && !m.capturedView(2).isEmpty())
        out /= 100;
    return ok;
}

bool numberOf(sqlite3_value *v, double &out)
{
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        out = sqlite3_value_double(v);
        return true;
    }
    return type != SQLITE_NULL && parseNumber(textOf(v), out);
}

double number(sqlite3_value *v, const char *function)
{
    double d;
    if (!numberOf(v, d))
        mismatch(function);
    return d;
}

qint64 roundedInteger(sqlite3_value *v, const char *function, double low, double high)
{
    const double d = std::nearbyint(number(v, function)); // the default mode rounds a half to even
    if (d < low || d > high)
        throw Failure{QByteArray("Overflow in ") + function};
    return qint64(d);
}

void resultText(sqlite3_context *c, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_result_text(c, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context *c, double d)
{
    if (d == std::trunc(d) && std::fabs(d) < 9e15)
        sqlite3_result_int64(c, qint64(d));
    else
        sqlite3_result_double(c, d);
}

bool anyNull(int argc, Values argv)
{
    for (int i = 0; i < argc; ++i)
        if (isNull(argv[i]))
            return true;
    return false;
}

// --- text ---

// IIf's condition: a number other than 0, or text that reads as one; Null is false.
void truth(sqlite3_context *c, int, Values argv)
{
    sqlite3_result_int(c, !isNull(argv[0]) && number(argv[0], "IIF") != 0);
}

int length(sqlite3_value *v, const char *function)
{
    const qint64 n = roundedInteger(v, function, 0, 2147483647.0);
    return int(n);
}

void left(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultText(c, textOf(argv[0]).left(length(argv[1], "LEFT")));
}

void right(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultText(c, textOf(argv[0]).right(length(argv[1], "RIGHT")));
}

void mid(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const int start = length(argv[1], "MID");
    if (start < 1)
        throw Failure{"Invalid start in MID"};
    resultText(c, textOf(argv[0]).mid(start - 1, argc == 3 ? length(argv[2], "MID") : -1));
}

void space(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultText(c, QString(length(argv[0], "SPACE"), QLatin1Char(' ')));
}

void ucase(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultText(c, textOf(argv[0]).toUpper());
}

void lcase(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultText(c, textOf(argv[0]).toLower());
}

void len(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        sqlite3_result_int64(c, textOf(argv[0]).size());
}

void cstr(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultText(c, textOf(argv[0]));
}

// Trim, LTrim and RTrim take off blanks only, not tabs or line breaks.
template <bool Left, bool Right>
void trimBlanks(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const QString text = textOf(argv[0]);
    int from = 0, to = int(text.size());
    while (Left && from < to && text[from] == QLatin1Char(' '))
        ++from;
    while (Right && to > from && text[to - 1] == QLatin1Char(' '))
        --to;
    resultText(c, text.mid(from, to - from));
}

// Nulls count as empty text.
void cat(sqlite3_context *c, int, Values argv)
{
    resultText(c, textOf(argv[0]) + textOf(argv[1]));
}

// Jet wildcards: * any text, ? one character, # one digit, [a-c] and [!a-c] character lists.
QRegularExpression likeExpression(const QString &pattern)
{
    QString expression;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar ch = pattern[i];
        const int close = ch == QLatin1Char('[') ? pattern.indexOf(QLatin1Char(']'), i + 1) : -1;
        if (ch == QLatin1Char('*')) {
            expression += QStringLiteral(".*");
        } else if (ch == QLatin1Char('?')) {
            expression += QLatin1Char('.');
        } else if (ch == QLatin1Char('#')) {
            expression += QStringLiteral("[0-9]");
        } else if (close > i) {
            QString list = pattern.mid(i + 1, close - i - 1);
            if (list.startsWith(QLatin1Char('!')))
                list[0] = QLatin1Char('^');
            expression += QLatin1Char('[') + list.replace(QLatin1Char('\\'), QStringLiteral("\\\\")) + QLatin1Char(']');
            i = close;
        } else {
            expression += QRegularExpression::escape(QString(ch));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

void like(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    // A pattern that is the same on every row is compiled once per statement.
    auto *re = static_cast<QRegularExpression *>(sqlite3_get_auxdata(c, 1));
    if (!re) {
        re = new QRegularExpression(likeExpression(textOf(argv[1])));
        sqlite3_set_auxdata(c, 1, re, [](void *p) { delete static_cast<QRegularExpression *>(p); });
        re = static_cast<QRegularExpression *>(sqlite3_get_auxdata(c, 1));
        if (!re) { // the engine keeps nothing for a pattern that changes from row to row
            sqlite3_result_int(c, likeExpression(textOf(argv[1])).match(textOf(argv[0])).hasMatch() ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(c, re->match(textOf(argv[0])).hasMatch() ? 1 : 0);
}

// --- numbers ---

// A date as text, 'YYYY-MM-DD', the way the year's tables store it; a time after it is dropped.
bool isDateText(sqlite3_value *v, QDate &date)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT || sqlite3_value_bytes(v) < 10)
        return false;
    const QString text = textOf(v);
    date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() && (text.size() == 10 || text[10] == QLatin1Char(' ') || text[10] == QLatin1Char('T'));
}

void resultDate(sqlite3_context *c, const QDate &date)
{
    resultText(c, date.toString(Qt::ISODate));
}

// Both text: joined; a date and a number: the date that many days on; otherwise numeric text
// counts as its number.
void add(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const int a = sqlite3_value_type(argv[0]);
    const int b = sqlite3_value_type(argv[1]);
    QDate date;
    if (isDateText(argv[0], date) && b != SQLITE_TEXT) {
        resultDate(c, date.addDays(qint64(std::floor(number(argv[1], "+")))));
        return;
    }
    if (isDateText(argv[1], date) && a != SQLITE_TEXT) {
        resultDate(c, date.addDays(qint64(std::floor(number(argv[0], "+")))));
        return;
    }
    if (a == SQLITE_TEXT && b == SQLITE_TEXT) {
        resultText(c, textOf(argv[0]) + textOf(argv[1]));
        return;
    }
    qint64 sum;
    if (a == SQLITE_INTEGER && b == SQLITE_INTEGER &&
        !__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]), &sum)) {
        sqlite3_result_int64(c, sum);
        return;
    }
    sqlite3_result_double(c, number(argv[0], "+") + number(argv[1], "+"));
}

// Two dates: the days between them; a date less a number: the date that many days before.
void subtract(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    QDate from, to;
    if (isDateText(argv[0], from)) {
        if (isDateText(argv[1], to))
            sqlite3_result_int64(c, to.daysTo(from));
        else
            resultDate(c, from.addDays(-qint64(std::floor(number(argv[1], "-")))));
        return;
    }
    qint64 difference;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER &&
        !__builtin_sub_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]), &difference)) {
        sqlite3_result_int64(c, difference);
        return;
    }
    sqlite3_result_double(c, number(argv[0], "-") - number(argv[1], "-"));
}

// Round to the given decimals, a half to the even neighbour: 2.5 is 2, 0.125 to two places 0.12.
// A value a hair from a half, as decimal fractions come out in binary, counts as the half.
void roundEven(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const double value = number(argv[0], "ROUND");
    const int places = argc == 2 ? int(roundedInteger(argv[1], "ROUND", 0, 15)) : 0;
    const double scale = std::pow(10.0, places);
    const double scaled = value * scale;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    double rounded;
    if (std::fabs(fraction - 0.5) < 1e-9 * std::max(1.0, std::fabs(scaled)))
        rounded = std::fmod(whole, 2.0) == 0 ? whole : whole + 1;
    else
        rounded = std::round(scaled);
    resultNumber(c, rounded / scale);
}

void divide(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const double divisor = number(argv[1], "/");
    if (divisor == 0)
        throw Failure{"Division by zero"};
    sqlite3_result_double(c, number(argv[0], "/") / divisor);
}

// Integer division and Mod round both operands to whole numbers first.
qint64 integerDivisor(sqlite3_value *v, const char *function)
{
    const qint64 divisor = roundedInteger(v, function, -9e15, 9e15);
    if (divisor == 0)
        throw Failure{"Division by zero"};
    return divisor;
}

void integerDivide(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const qint64 divisor = integerDivisor(argv[1], "\\");
    sqlite3_result_int64(c, roundedInteger(argv[0], "\\", -9e15, 9e15) / divisor);
}

void modulo(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    const qint64 divisor = integerDivisor(argv[1], "Mod");
    sqlite3_result_int64(c, roundedInteger(argv[0], "Mod", -9e15, 9e15) % divisor);
}

void power(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultNumber(c, std::pow(number(argv[0], "^"), number(argv[1], "^")));
}

// The leading number of a text; blanks anywhere are skipped, no number gives 0.
void val(sqlite3_context *c, int argc, Values argv)
{
    if (anyNull(argc, argv))
        return;
    QString text = textOf(argv[0]);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    static const QRegularExpression leading(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    resultNumber(c, leading.match(text).captured(0).toDouble());
}

void cdbl(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        sqlite3_result_double(c, number(argv[0], "CDBL"));
}

void cint(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        sqlite3_result_int64(c, roundedInteger(argv[0], "CINT", -32768, 32767));
}

void clng(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        sqlite3_result_int64(c, roundedInteger(argv[0], "CLNG", -2147483648.0, 2147483647.0));
}

void intFloor(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultNumber(c, std::floor(number(argv[0], "INT")));
}

void fix(sqlite3_context *c, int argc, Values argv)
{
    if (!anyNull(argc, argv))
        resultNumber(c, std::trunc(number(argv[0], "FIX")));
}

void nz(sqlite3_context *c, int argc, Values argv)
{
    if (!isNull(argv[0]))
        sqlite3_result_value(c, argv[0]);
    else if (argc == 2)
        sqlite3_result_value(c, argv[1]);
    else
        resultText(c, QString());
}

void isNullFunction(sqlite3_context *c, int, Values argv)
{
    sqlite3_result_int(c, isNull(argv[0]) ? -1 : 0);
}

// --- dates ---

void datePart(sqlite3_context *c, Values argv, const char *function, int (QDate::*part)() const)
{
    if (isNull(argv[0]) || textOf(argv[0]).trimmed().isEmpty())
        return;
    QDate date;
    if (!dateOf(argv[0], date))
        mismatch(function);
    sqlite3_result_int(c, (date.*part)());
}

void month(sqlite3_context *c, int, Values argv)
{
    datePart(c, argv, "MONTH", &QDate::month);
}

void year(sqlite3_context *c, int, Values argv)
{
    datePart(c, argv, "YEAR", &QDate::year);
}

void day(sqlite3_context *c, int, Values argv)
{
    datePart(c, argv, "DAY", &QDate::day);
}

// --- Format ---

// |value| rounded half away from zero to the given decimals, as whole and fraction digits. The
// value is taken at 15 significant digits, as the desktop engine shows it, so 1.005 is 1.01.
std::pair<QString, QString> roundedDecimal(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const QString digits = QLatin1Char(buffer[0]) + QString::fromLatin1(buffer + 2, 14);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    QString whole, fraction;
    if (exponent < 0) {
        whole = QStringLiteral("0");
        fraction = QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else {
        whole = digits.left(exponent + 1).leftJustified(exponent + 1, QLatin1Char('0'));
        fraction = digits.mid(exponent + 1);
    }
    const bool up = fraction.size() > decimals && fraction[decimals] >= QLatin1Char('5');
    fraction = fraction.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    if (up) {
        QString all = whole + fraction;
        int i = all.size() - 1;
        for (; i >= 0 && all[i] == QLatin1Char('9'); --i)
            all[i] = QLatin1Char('0');
        if (i < 0)
            all.prepend(QLatin1Char('1'));
        else
            all[i] = QChar(all[i].unicode() + 1);
        whole = all.left(all.size() - decimals);
        fraction = all.right(decimals);
    }
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    return {whole, fraction};
}

// "0" is a digit always shown, "#" one shown when needed, "," groups thousands, "." the point.
QString formatNumber(double value, const QString &pattern)
{
    const int point = pattern.indexOf(QLatin1Char('.'));
    const QString wholePattern = point < 0 ? pattern : pattern.left(point);
    const QString fractionPattern = point < 0 ? QString() : pattern.mid(point + 1).remove(QLatin1Char(','));
    auto [whole, fraction] = roundedDecimal(value, int(fractionPattern.size()));
    const int shownDecimals = int(fractionPattern.count(QLatin1Char('0')));
    while (fraction.size() > shownDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (whole == QLatin1String("0"))
        whole.clear();
    whole = whole.rightJustified(int(wholePattern.count(QLatin1Char('0'))), QLatin1Char('0'));
    if (wholePattern.contains(QLatin1Char(',')))
        for (int i = int(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(i, QLatin1Char(','));
    const bool zero = !QString(whole + fraction).contains(QRegularExpression(QStringLiteral("[1-9]")));
    QString text = value < 0 && !zero ? QStringLiteral("-") : QString();
    text += whole;
    if (point >= 0)
        text += QLatin1Char('.') + fraction;
    return text;
}

// d, dd, ddd, dddd; m, mm, mmm, mmmm; yy, yyyy in any case; other characters stand for themselves.
QString formatDate(const QDate &date, const QString &pattern)
{
    const QLocale english = QLocale::c();
    QString text;
    for (int i = 0; i < pattern.size();) {
        const QChar letter = pattern[i].toLower();
        int run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == letter)
            ++run;
        if (letter == QLatin1Char('d')) {
            text += run == 1   ? QString::number(date.day())
                    : run == 2 ? QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'))
                               : english.dayName(date.dayOfWeek(), run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (letter == QLatin1Char('m')) {
            text += run == 1   ? QString::number(date.month())
                    : run == 2 ? QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'))
                               : english.monthName(date.month(), run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (letter == QLatin1Char('y')) {
            text += run <= 2 ? QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0'))
                             : QString::number(date.year());
        } else {
            text += pattern.mid(i, run);
        }
        i += run;
    }
    return text;
}

void format(sqlite3_context *c, int argc, Values argv)
{
    if (!isNull(argv[0]))
        resultText(c, formatValue(variantOf(argv[0]), argc == 2 ? textOf(argv[1]) : QString()));
}

template <void (*F)(sqlite3_context *, int, Values)>
void guarded(sqlite3_context *c, int argc, Values argv)
{
    try {
        F(c, argc, argv);
    } catch (const Failure &f) {
        sqlite3_result_error(c, f.message.constData(), int(f.message.size()));
    }
}

struct Function {
    const char *name;
    int arguments;
    void (*call)(sqlite3_context *, int, Values);
};

const Function Functions[] = {
    {"jet_true", 1, guarded<truth>},         {"jet_left", 2, guarded<left>},   {"jet_right", 2, guarded<right>},
    {"jet_mid", 2, guarded<mid>},     {"jet_mid", 3, guarded<mid>},     {"space", 1, guarded<space>},
    {"month", 1, guarded<month>},     {"year", 1, guarded<year>},       {"day", 1, guarded<day>},
    {"format", 1, guarded<format>},   {"format", 2, guarded<format>},   {"jet_add", 2, guarded<add>},
    {"jet_cat", 2, guarded<cat>},     {"jet_div", 2, guarded<divide>},  {"jet_idiv", 2, guarded<integerDivide>},
    {"jet_mod", 2, guarded<modulo>},  {"jet_pow", 2, guarded<power>},   {"jet_like", 2, guarded<like>},
    {"ucase", 1, guarded<ucase>},     {"lcase", 1, guarded<lcase>},     {"len", 1, guarded<len>},
    {"val", 1, guarded<val>},         {"cstr", 1, guarded<cstr>},       {"cdbl", 1, guarded<cdbl>},
    {"cint", 1, guarded<cint>},       {"clng", 1, guarded<clng>},       {"int", 1, guarded<intFloor>},
    {"fix", 1, guarded<fix>},         {"nz", 1, guarded<nz>},           {"nz", 2, guarded<nz>},
    {"jet_isnull", 1, guarded<isNullFunction>},
    {"jet_sub", 2, guarded<subtract>}, {"jet_round", 1, guarded<roundEven>}, {"jet_round", 2, guarded<roundEven>},
    {"jet_trim", 1, guarded<trimBlanks<true, true>>}, {"jet_ltrim", 1, guarded<trimBlanks<true, false>>},
    {"jet_rtrim", 1, guarded<trimBlanks<false, true>>},
};

} // namespace

std::optional<double> numberValue(const QVariant &value)
{
    if (isNumeric(value))
        return value.toDouble();
    double d;
    if (!value.isNull() && parseNumber(value.toString(), d))
        return d;
    return std::nullopt;
}

// "0" is a digit always shown, "#" one shown when needed, "," groups thousands, "." the point, a
// "%" shows the value times 100; the named formats stand for their patterns. A date pattern
// applies to dates, a number pattern to numbers; anything else is shown as it is.
QString formatValue(const QVariant &value, const QString &pattern)
{
    if (value.isNull())
        return {};
    static const QHash<QString, QString> named = {
        {QStringLiteral("general number"), QString()},
        {QStringLiteral("fixed"), QStringLiteral("0.00")},
        {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
        {QStringLiteral("percent"), QStringLiteral("0.00%")},
        {QStringLiteral("short date"), QStringLiteral("dd/mm/yyyy")},
        {QStringLiteral("medium date"), QStringLiteral("dd-mmm-yy")},
        {QStringLiteral("long date"), QStringLiteral("dd mmmm yyyy")}};
    const QString p = named.value(pattern.toLower(), pattern);
    static const QRegularExpression numberPattern(QStringLiteral("^[#0,.]+%?$"));
    const bool forNumbers = numberPattern.match(p).hasMatch();
    const std::optional<double> number = forNumbers ? numberValue(value) : std::nullopt;
    QDate date;
    if (number && p.endsWith(QLatin1Char('%')))
        return formatNumber(*number * 100, p.chopped(1)) + QLatin1Char('%');
    if (number)
        return formatNumber(*number, p);
    if (!p.isEmpty() && !forNumbers && dateOfVariant(value, date))
        return formatDate(date, p);
    return isNumeric(value) && value.typeId() == QMetaType::Double ? numberText(value.toDouble()) : value.toString();
}

void registerJetFunctions(sqlite3 *db)
{
    for (const Function &f : Functions) {
        if (sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, f.call,
                                       nullptr, nullptr, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

} // namespace data
