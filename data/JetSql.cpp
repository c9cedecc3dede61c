#include "data/JetSql.h"
#include "data/DbError.h"
#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QVector>

namespace data {

namespace {

[[noreturn]] void syntaxError(int pos, const QString &what)
{
    throw SyntaxError(pos + 1, what);
}

enum class Kind { Name, Number, String, Date, Symbol, End };

struct Token {
    Kind kind = Kind::End;
    QString text;           // symbol, number, string value or the text between the #s
    QStringList parts;      // a name's parts: T52.Col93 has two
    QVector<bool> brackets; // per part: written as [name]
    int pos = 0;
    int end = 0;
};

bool startsName(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('[');
}

int readName(const QString &s, int i, Token &t)
{
    const int n = s.size();
    for (;;) {
        if (s[i] == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                syntaxError(i, QStringLiteral("the name in brackets is not closed"));
            t.parts << s.mid(i + 1, close - i - 1);
            t.brackets << true;
            i = close + 1;
        } else if (s[i] == QLatin1Char('*')) {
            t.parts << QStringLiteral("*");
            t.brackets << false;
            return i + 1;
        } else {
            const int start = i;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_')))
                ++i;
            if (i < n && s[i] == QLatin1Char('$')) // Left$ is Left returning text
                ++i;
            t.parts << s.mid(start, i - start);
            t.brackets << false;
        }
        if (i + 1 < n && s[i] == QLatin1Char('.') && (startsName(s[i + 1]) || s[i + 1] == QLatin1Char('*'))) {
            ++i;
            continue;
        }
        return i;
    }
}

int readNumber(const QString &s, int i)
{
    const int n = s.size();
    while (i < n && s[i].isDigit())
        ++i;
    if (i < n && s[i] == QLatin1Char('.'))
        for (++i; i < n && s[i].isDigit(); ++i) {
        }
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            ++j;
        if (j < n && s[j].isDigit()) {
            for (i = j; i < n && s[i].isDigit(); ++i) {
            }
        }
    }
    return i;
}

// Either quote is a string delimiter; a doubled quote inside stands for one.
int readString(const QString &s, int i, Token &t)
{
    const QChar quote = s[i];
    const int start = i;
    for (++i; i < s.size(); ++i) {
        if (s[i] != quote) {
            t.text += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == quote) {
            t.text += quote;
            ++i;
        } else {
            return i + 1;
        }
    }
    syntaxError(start, QStringLiteral("the text in quotes is not closed"));
}

// Reads the token that starts at i or after the blanks there.
Token readToken(const QString &s, int i)
{
    const int n = s.size();
    while (i < n && s[i].isSpace())
        ++i;
    Token t;
    t.pos = i;
    if (i >= n) {
        t.end = n;
        return t;
    }
    const QChar c = s[i];
    if (startsName(c)) {
        t.kind = Kind::Name;
        i = readName(s, i, t);
    } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
        t.kind = Kind::Number;
        i = readNumber(s, i);
        t.text = s.mid(t.pos, i - t.pos);
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        t.kind = Kind::String;
        i = readString(s, i, t);
    } else if (c == QLatin1Char('#')) {
        const int close = s.indexOf(QLatin1Char('#'), i + 1);
        if (close < 0)
            syntaxError(i, QStringLiteral("the date between # signs is not closed"));
        t.kind = Kind::Date;
        t.text = s.mid(i + 1, close - i - 1).trimmed();
        i = close + 1;
    } else {
        t.kind = Kind::Symbol;
        const QString two = s.mid(i, 2);
        if (two == QLatin1String("<=") || two == QLatin1String(">=") || two == QLatin1String("<>")) {
            t.text = two;
        } else if (QStringLiteral("=<>+-*/\\^&,();").contains(c)) {
            t.text = c;
        } else {
            syntaxError(i, QStringLiteral("unexpected character '%1'").arg(c));
        }
        i += t.text.size();
    }
    t.end = i;
    return t;
}

QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// Words our engine reserves: a field of that name must be bracketed there.
bool isSqliteKeyword(const QString &word)
{
    static const QSet<QString> words = [] {
        const QStringList list = QStringLiteral(
            "ABORT ACTION ADD AFTER ALL ALTER ANALYZE AND AS ASC ATTACH AUTOINCREMENT BEFORE BEGIN BETWEEN BY "
            "CASCADE CASE CAST CHECK COLLATE COLUMN COMMIT CONFLICT CONSTRAINT CREATE CROSS CURRENT_DATE "
            "CURRENT_TIME CURRENT_TIMESTAMP DATABASE DEFAULT DEFERRABLE DEFERRED DELETE DESC DETACH DISTINCT DROP "
            "EACH ELSE END ESCAPE EXCEPT EXCLUSIVE EXISTS EXPLAIN FAIL FOR FOREIGN FROM FULL GLOB GROUP HAVING IF "
            "IGNORE IMMEDIATE IN INDEX INDEXED INITIALLY INNER INSERT INSTEAD INTERSECT INTO IS ISNULL JOIN KEY "
            "LEFT LIKE LIMIT MATCH NATURAL NO NOT NOTNULL NULL OF OFFSET ON OR ORDER OUTER PLAN PRAGMA PRIMARY "
            "QUERY RAISE RECURSIVE REFERENCES REGEXP REINDEX RELEASE RENAME REPLACE RESTRICT RIGHT ROLLBACK ROW "
            "SAVEPOINT SELECT SET TABLE TEMP TEMPORARY THEN TO TRANSACTION TRIGGER UNION UNIQUE UPDATE USING "
            "VACUUM VALUES VIEW VIRTUAL WHEN WHERE WITH WITHOUT").split(QLatin1Char(' '));
        return QSet<QString>(list.begin(), list.end());
    }();
    return words.contains(word.toUpper());
}

// Words the server reserves, or allows as no column name: a name of that spelling is quoted there.
bool isServerKeyword(const QString &word)
{
    static const QSet<QString> words = [] {
        const QStringList list = QStringLiteral(
            "ALL ANALYSE ANALYZE AND ANY ARRAY AS ASC ASYMMETRIC AUTHORIZATION BETWEEN BIGINT BINARY BIT BOOLEAN BOTH "
            "CASE CAST CHAR CHARACTER CHECK COALESCE COLLATE COLLATION COLUMN CONCURRENTLY CONSTRAINT CREATE CROSS "
            "CURRENT_CATALOG CURRENT_DATE CURRENT_ROLE CURRENT_SCHEMA CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER DEC "
            "DECIMAL DEFAULT DEFERRABLE DESC DISTINCT DO ELSE END EXCEPT EXISTS EXTRACT FALSE FETCH FLOAT FOR FOREIGN "
            "FREEZE FROM FULL GRANT GREATEST GROUP GROUPING HAVING ILIKE IN INITIALLY INNER INOUT INT INTEGER "
            "INTERSECT INTERVAL INTO IS ISNULL JOIN LATERAL LEADING LEAST LEFT LIKE LIMIT LOCALTIME LOCALTIMESTAMP "
            "NATIONAL NATURAL NCHAR NONE NORMALIZE NOT NOTNULL NULL NULLIF NUMERIC OFFSET ON ONLY OR ORDER OUT OUTER "
            "OVERLAPS OVERLAY PLACING POSITION PRECISION PRIMARY REAL REFERENCES RETURNING RIGHT ROW SELECT "
            "SESSION_USER SETOF SIMILAR SMALLINT SOME SUBSTRING SYMMETRIC TABLE TABLESAMPLE THEN TIME TIMESTAMP TO "
            "TRAILING TREAT TRIM TRUE UNION UNIQUE USER USING VALUES VARCHAR VARIADIC VERBOSE WHEN WHERE WINDOW "
            "WITH").split(QLatin1Char(' '));
        return QSet<QString>(list.begin(), list.end());
    }();
    return words.contains(word.toUpper());
}

// The server folds unquoted names to lower case, A to Z only.
QString folded(QString name)
{
    for (QChar &c : name)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = c.toLower();
    return name;
}

QString doubleQuoted(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Words that end or join expressions; they never stand for a value.
bool isClauseWord(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("AND"),   QStringLiteral("OR"),    QStringLiteral("NOT"),    QStringLiteral("MOD"),
        QStringLiteral("IN"),    QStringLiteral("IS"),    QStringLiteral("LIKE"),   QStringLiteral("BETWEEN"),
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"),  QStringLiteral("GROUP"),
        QStringLiteral("ORDER"), QStringLiteral("HAVING"), QStringLiteral("BY"),    QStringLiteral("AS"),
        QStringLiteral("ON"),    QStringLiteral("DISTINCT")};
    return words.contains(word.toUpper());
}

// Jet writes dates month first (#4/5/2023# is the fifth of April) or year first.
QString dateLiteral(const Token &t)
{
    const QStringList pieces = t.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QDate date;
    for (const char *format : {"M/d/yyyy", "yyyy-M-d", "yyyy/M/d", "d-MMM-yyyy"}) {
        if (!pieces.isEmpty() && !date.isValid())
            date = QDate::fromString(pieces[0], QLatin1String(format));
    }
    QTime time(0, 0);
    if (pieces.size() == 2)
        time = QTime::fromString(pieces[1], QStringLiteral("H:m:s"));
    if (!date.isValid() || !time.isValid() || pieces.size() > 2)
        syntaxError(t.pos, QStringLiteral("'#%1#' is not a date").arg(t.text));
    QString text = date.toString(Qt::ISODate);
    if (pieces.size() == 2)
        text += QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    return quoted(text);
}

// The binding strength of our engine's operators, weakest first; a part that binds more weakly
// than the operator around it is put in parentheses.
enum Level { Or = 1, And, Not, Equal, Relational, Additive, Multiplicative, Unary, Primary };

// A literal takes its type from the other side of a comparison on the server.
enum class Literal { None, Text, Other };

struct Node {
    QString text;
    int level;
    bool truth = false; // a comparison or a logical operator: a boolean on the server
    Literal literal = Literal::None;
};

QString wrapped(const Node &n, bool wrap)
{
    return wrap ? QLatin1Char('(') + n.text + QLatin1Char(')') : n.text;
}

Node binary(const Node &left, const QString &op, const Node &right, Level level)
{
    return {wrapped(left, left.level < level) + QLatin1Char(' ') + op + QLatin1Char(' ') +
                wrapped(right, right.level <= level),
            level};
}

class Parser {
public:
    // Tokens are read as the parser moves on; it never looks more than one token ahead.
    Parser(const QString &source, Engine engine) : source_(source), engine_(engine)
    {
        window_[0] = readToken(source_, 0);
        window_[1] = following(window_[0]);
    }

    QString wholeExpression()
    {
        const Node n = expression();
        expectEnd();
        return n.text;
    }

    // The first aggregate function (Sum, Count, Avg, Min, Max) the text calls outside a subquery.
    const QString &aggregate() const { return aggregate_; }

    QString wholeStatement()
    {
        const QString text = statement();
        acceptSymbol(";");
        expectEnd();
        return text;
    }

private:
    const Token &peek(int ahead = 0) const { return window_[ahead]; }
    void next()
    {
        if (window_[0].kind == Kind::End)
            return;
        window_[0] = std::move(window_[1]);
        window_[1] = following(window_[0]);
    }
    // The end repeats itself.
    Token following(const Token &t) const { return t.kind == Kind::End ? t : readToken(source_, t.end); }

    static bool isWordToken(const Token &t, const char *word)
    {
        return t.kind == Kind::Name && t.parts.size() == 1 && !t.brackets[0] &&
               t.parts[0].compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    // The node is built from the current token before the parser moves past it.
    Node taken(Node n)
    {
        next();
        return n;
    }
    bool isWord(const char *word) const { return isWordToken(peek(), word); }
    bool isSymbol(const char *symbol) const
    {
        return peek().kind == Kind::Symbol && peek().text == QLatin1String(symbol);
    }
    bool acceptWord(const char *word)
    {
        if (!isWord(word))
            return false;
        next();
        return true;
    }
    bool acceptSymbol(const char *symbol)
    {
        if (!isSymbol(symbol))
            return false;
        next();
        return true;
    }

    [[noreturn]] void fail(const QString &expected) const
    {
        const Token &t = peek();
        const QString found = t.kind == Kind::End ? QStringLiteral("the end of the text")
                                                  : QLatin1Char('\'') + source_.mid(t.pos, t.end - t.pos) + QLatin1Char('\'');
        syntaxError(t.pos, QStringLiteral("expected %1 but found %2").arg(expected, found));
    }
    void expectSymbol(const char *symbol)
    {
        if (!acceptSymbol(symbol))
            fail(QStringLiteral("'%1'").arg(QLatin1String(symbol)));
    }
    void expectWord(const char *word)
    {
        if (!acceptWord(word))
            fail(QLatin1String(word));
    }
    void expectEnd() const
    {
        if (peek().kind != Kind::End)
            fail(QStringLiteral("an operator or the end of the text"));
    }

    bool server() const { return engine_ == Engine::Server; }

    // On the server a truth value where a value is asked for counts as 1 or 0, as on the files,
    Node value(const Node &n) const
    {
        if (!server() || !n.truth)
            return n;
        return {QLatin1Char('(') + n.text + QStringLiteral(")::int"), Primary};
    }

    // and a value where a condition is asked for is true unless 0.
    Node condition(const Node &n) const
    {
        if (!server() || n.truth)
            return n;
        return {QStringLiteral("jet_bool(") + n.text + QLatin1Char(')'), Primary, true};
    }

    Node call(const QString &function, const Node &a, const Node &b) const
    {
        return {function + QLatin1Char('(') + value(a).text + QStringLiteral(", ") + value(b).text + QLatin1Char(')'),
                Primary};
    }

    Node logical(const Node &left, const QString &op, const Node &right, Level level) const
    {
        Node n = binary(condition(left), op, condition(right), level);
        n.truth = true;
        return n;
    }

    // Text compares ignoring case, as in the desktop engine, also where no column's collation
    // says so: on computed values. Numbers are not affected. On the files the left side's
    // collation decides; on the server both sides are compared as citext where they are text,
    // except a literal, which takes the other side's type, unless that is a literal too.
    Node ignoringCase(const Node &n, bool alone = false) const
    {
        if (!server())
            return {wrapped(n, n.level < Primary) + QStringLiteral(" COLLATE NOCASE"), Primary};
        if (n.literal == Literal::Other || (n.literal == Literal::Text && !alone))
            return n;
        return {QStringLiteral("jet_ci(") + value(n).text + QLatin1Char(')'), Primary};
    }

    Node otherSide(const Node &n) const { return server() ? ignoringCase(n) : n; }

    // "--" would start a comment, so a negated negative value keeps its parentheses.
    Node negated(const Node &n) const
    {
        if (server() && n.literal != Literal::Other)
            return {QStringLiteral("jet_neg(") + value(n).text + QLatin1Char(')'), Primary};
        return {QLatin1Char('-') + wrapped(n, n.level < Unary || n.text.startsWith(QLatin1Char('-'))), Unary, false,
                n.literal};
    }

    // --- statements ---

    QString statement()
    {
        expectWord("SELECT");
        ++statements_;
        QString out = QStringLiteral("SELECT");
        if (acceptWord("DISTINCT") || acceptWord("DISTINCTROW"))
            out += QStringLiteral(" DISTINCT");
        QString limit;
        if (acceptWord("TOP")) {
            if (peek().kind != Kind::Number)
                fail(QStringLiteral("a number of rows"));
            limit = peek().text;
            next();
            if (isWord("PERCENT"))
                fail(QStringLiteral("a column (TOP with PERCENT is not supported)"));
        }
        QStringList items;
        do
            items << selectItem();
        while (acceptSymbol(","));
        out += QLatin1Char(' ') + items.join(QStringLiteral(", "));
        if (isWord("FROM"))
            out += QLatin1Char(' ') + fromClause();
        if (acceptWord("WHERE"))
            out += QStringLiteral(" WHERE ") + condition(expression()).text;
        if (acceptWord("GROUP")) {
            expectWord("BY");
            out += QStringLiteral(" GROUP BY ") + expressionList(false);
        }
        if (acceptWord("HAVING"))
            out += QStringLiteral(" HAVING ") + condition(expression()).text;
        if (acceptWord("ORDER")) {
            expectWord("BY");
            out += QStringLiteral(" ORDER BY ") + expressionList(true);
        }
        if (!limit.isEmpty())
            out += QStringLiteral(" LIMIT ") + limit;
        --statements_;
        return out;
    }

    QString selectItem()
    {
        if (acceptSymbol("*"))
            return QStringLiteral("*");
        QString item = expression().text;
        if (acceptWord("AS")) {
            const Token alias = peek();
            const bool written = alias.kind == Kind::String || (alias.kind == Kind::Name && alias.brackets.value(0));
            if (alias.kind == Kind::String && !server()) {
                item += QStringLiteral(" AS [") + alias.text + QLatin1Char(']');
            } else if (written && server() && alias.parts.size() <= 1) {
                // The server keeps the case of an alias as written; a later use of it follows.
                const QString name = alias.kind == Kind::String ? alias.text : alias.parts[0];
                aliases_.insert(name.toLower(), name);
                item += QStringLiteral(" AS ") + doubleQuoted(name);
            } else if (alias.kind == Kind::Name) {
                item += QStringLiteral(" AS ") + nameText(alias);
            } else {
                fail(QStringLiteral("a column name"));
            }
            next();
        }
        return item;
    }

    QString expressionList(bool withDirection)
    {
        QStringList items;
        do {
            QString item = expression().text;
            bool descending = false;
            if (withDirection && acceptWord("ASC"))
                item += QStringLiteral(" ASC");
            else if (withDirection && (descending = acceptWord("DESC")))
                item += QStringLiteral(" DESC");
            // Nulls sort before every value, as on the files and in the desktop engine.
            if (withDirection && server())
                item += descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
            items << item;
        } while (acceptSymbol(","));
        return items.join(QStringLiteral(", "));
    }

    // Tables, aliases and the parenthesised join nest are the same in both dialects; on the
    // server, names in brackets and text in double quotes are written its way.
    QString fromClause()
    {
        const int start = peek().pos;
        int end = start;
        int copied = start;
        QString out;
        int depth = 0;
        for (;;) {
            const Token &t = peek();
            if (t.kind == Kind::End)
                break;
            if (isSymbol("("))
                ++depth;
            if (isSymbol(")") && depth-- == 0)
                break;
            if (depth == 0 && (isWord("WHERE") || isWord("GROUP") || isWord("HAVING") || isWord("ORDER") ||
                               isWord("UNION") || isSymbol(";")))
                break;
            const bool bracketed = t.kind == Kind::Name && t.brackets.contains(true);
            if (server() && (bracketed || t.kind == Kind::String || t.kind == Kind::Date)) {
                out += source_.mid(copied, t.pos - copied) +
                       (t.kind == Kind::Name ? nameText(t) : t.kind == Kind::String ? quoted(t.text) : dateLiteral(t));
                copied = t.end;
            }
            end = t.end;
            next();
        }
        return out + source_.mid(copied, end - copied);
    }

    // --- expressions, weakest operator first ---

    Node expression()
    {
        Node n = conjunction();
        while (acceptWord("OR"))
            n = logical(n, QStringLiteral("OR"), conjunction(), Or);
        return n;
    }

    Node conjunction()
    {
        Node n = negation();
        while (acceptWord("AND"))
            n = logical(n, QStringLiteral("AND"), negation(), And);
        return n;
    }

    Node negation()
    {
        if (!acceptWord("NOT"))
            return comparison();
        const Node n = condition(negation());
        return {QStringLiteral("NOT ") + wrapped(n, n.level < Not), Not, true};
    }

    Node comparison()
    {
        Node n = concatenation();
        for (;;) {
            const QString op = peek().text;
            if (peek().kind == Kind::Symbol &&
                (op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<") ||
                 op == QLatin1String(">") || op == QLatin1String("<=") || op == QLatin1String(">="))) {
                next();
                const Level level = op == QLatin1String("=") || op == QLatin1String("<>") ? Equal : Relational;
                const Node right = concatenation();
                const bool literals = n.literal == Literal::Text && right.literal == Literal::Text;
                n = binary(ignoringCase(n, literals), op, otherSide(right), level);
                n.truth = true;
                continue;
            }
            if (acceptWord("IS")) {
                const bool isNot = acceptWord("NOT");
                expectWord("NULL");
                n = {wrapped(value(n), n.level < Equal) +
                         (isNot ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                     Equal, true};
                continue;
            }
            const bool negate = isWord("NOT") && (isWordToken(peek(1), "IN") || isWordToken(peek(1), "LIKE") ||
                                                  isWordToken(peek(1), "BETWEEN"));
            if (negate)
                next();
            const QString notText = negate ? QStringLiteral("NOT ") : QString();
            if (acceptWord("IN")) {
                n = {ignoringCase(n, true).text + QLatin1Char(' ') + notText + QStringLiteral("IN ") + inList(), Equal,
                     true};
            } else if (acceptWord("LIKE")) {
                n = call(QStringLiteral("jet_like"), n, concatenation());
                n.truth = true;
                if (negate)
                    n = {notText + n.text, Not, true};
            } else if (acceptWord("BETWEEN")) {
                const Node low = otherSide(concatenation());
                expectWord("AND");
                const Node high = otherSide(concatenation());
                n = {ignoringCase(n, true).text + QLatin1Char(' ') + notText + QStringLiteral("BETWEEN ") +
                         wrapped(low, low.level <= Equal) + QStringLiteral(" AND ") + wrapped(high, high.level <= Equal),
                     Equal, true};
            } else {
                return n;
            }
        }
    }

    QString inList()
    {
        expectSymbol("(");
        QString text;
        if (isWord("SELECT")) {
            text = statement();
        } else {
            QStringList items;
            do
                items << otherSide(expression()).text;
            while (acceptSymbol(","));
            text = items.join(QStringLiteral(", "));
        }
        expectSymbol(")");
        return QLatin1Char('(') + text + QLatin1Char(')');
    }

    Node concatenation()
    {
        Node n = sum();
        while (acceptSymbol("&"))
            n = call(QStringLiteral("jet_cat"), n, sum());
        return n;
    }

    Node sum()
    {
        Node n = remainder();
        for (;;) {
            if (acceptSymbol("+"))
                n = call(QStringLiteral("jet_add"), n, remainder());
            else if (acceptSymbol("-"))
                n = call(QStringLiteral("jet_sub"), n, remainder());
            else
                return n;
        }
    }

    Node remainder()
    {
        Node n = integerQuotient();
        while (acceptWord("MOD"))
            n = call(QStringLiteral("jet_mod"), n, integerQuotient());
        return n;
    }

    Node integerQuotient()
    {
        Node n = product();
        while (acceptSymbol("\\"))
            n = call(QStringLiteral("jet_idiv"), n, product());
        return n;
    }

    Node product()
    {
        Node n = signedValue();
        for (;;) {
            if (acceptSymbol("*"))
                n = server() ? call(QStringLiteral("jet_mul"), n, signedValue())
                             : binary(n, QStringLiteral("*"), signedValue(), Multiplicative);
            else if (acceptSymbol("/"))
                n = call(QStringLiteral("jet_div"), n, signedValue());
            else
                return n;
        }
    }

    // The power binds more tightly than the sign: -2^2 is -4.
    Node signedValue()
    {
        if (acceptSymbol("-"))
            return negated(signedValue());
        if (acceptSymbol("+"))
            return signedValue();
        return power();
    }

    Node power()
    {
        Node n = primary();
        while (acceptSymbol("^"))
            n = call(QStringLiteral("jet_pow"), n, exponent());
        return n;
    }

    Node exponent()
    {
        if (acceptSymbol("-"))
            return negated(exponent());
        if (acceptSymbol("+"))
            return exponent();
        return primary();
    }

    Node primary()
    {
        const Token &t = peek();
        switch (t.kind) {
        case Kind::Number:
            return taken({t.text, Primary, false, Literal::Other});
        case Kind::String:
            return taken({quoted(t.text), Primary, false, Literal::Text});
        case Kind::Date:
            return taken({dateLiteral(t), Primary, false, Literal::Text});
        case Kind::Name:
            return name();
        default:
            break;
        }
        if (acceptSymbol("(")) {
            const Node inner = isWord("SELECT") ? Node{statement(), Primary} : expression();
            expectSymbol(")");
            return {QLatin1Char('(') + inner.text + QLatin1Char(')'), Primary, inner.truth, inner.literal};
        }
        fail(QStringLiteral("a value"));
    }

    Node name()
    {
        const Token &t = peek();
        const bool word = t.parts.size() == 1 && !t.brackets[0];
        if (word && isWord("TRUE")) {
            next();
            return {QStringLiteral("-1"), Primary, false, Literal::Other};
        }
        if (word && isWord("FALSE")) {
            next();
            return {QStringLiteral("0"), Primary, false, Literal::Other};
        }
        if (word && isWord("NULL")) {
            next();
            return {QStringLiteral("NULL"), Primary, false, Literal::Other};
        }
        if (word && peek(1).kind == Kind::Symbol && peek(1).text == QLatin1String("("))
            return functionCall();
        if (word && isClauseWord(t.parts[0]))
            fail(QStringLiteral("a value"));
        return taken({nameText(t), Primary});
    }

    Node functionCall()
    {
        const int at = peek().pos;
        QString function = peek().parts[0];
        if (function.endsWith(QLatin1Char('$')))
            function.chop(1);
        static const QStringList aggregates = {QStringLiteral("SUM"), QStringLiteral("COUNT"), QStringLiteral("AVG"),
                                               QStringLiteral("MIN"), QStringLiteral("MAX")};
        if (statements_ == 0 && aggregate_.isEmpty() && aggregates.contains(function.toUpper()))
            aggregate_ = function;
        // These names are keywords of our engine, so their functions go by other names. The
        // server has functions of its own by most names, so there they all do.
        static const QStringList renamed = {QStringLiteral("LEFT"),  QStringLiteral("RIGHT"), QStringLiteral("MID"),
                                            QStringLiteral("ISNULL"), QStringLiteral("ROUND"), QStringLiteral("TRIM"),
                                            QStringLiteral("LTRIM"), QStringLiteral("RTRIM")};
        static const QStringList ours = renamed + QStringList{
            QStringLiteral("IIF"),  QStringLiteral("LEN"),   QStringLiteral("UCASE"), QStringLiteral("LCASE"),
            QStringLiteral("SPACE"), QStringLiteral("FORMAT"), QStringLiteral("INT"), QStringLiteral("FIX"),
            QStringLiteral("VAL"),  QStringLiteral("CSTR"),  QStringLiteral("CDBL"),  QStringLiteral("CINT"),
            QStringLiteral("CLNG"), QStringLiteral("NZ"),    QStringLiteral("MONTH"), QStringLiteral("YEAR"),
            QStringLiteral("DAY")};
        const bool iif = function.compare(QLatin1String("IIF"), Qt::CaseInsensitive) == 0;
        if ((server() ? ours : renamed).contains(function.toUpper()))
            function = QStringLiteral("jet_") + function.toLower();
        next();
        next();
        QStringList arguments;
        if (acceptSymbol("*")) {
            arguments << QStringLiteral("*");
        } else if (!isSymbol(")")) {
            do { // the server's IIf takes a condition as it is
                const Node argument = expression();
                arguments << (iif && arguments.isEmpty() ? argument : value(argument)).text;
            } while (acceptSymbol(","));
        }
        expectSymbol(")");
        if (iif && arguments.size() != 3)
            syntaxError(at, QStringLiteral("IIf takes a condition and two values"));
        // Only the branch taken is evaluated, as in the desktop engine: IIf(x = 0, 0, 1 / x).
        if (iif && !server())
            return {QStringLiteral("CASE WHEN jet_true(%1) THEN %2 ELSE %3 END")
                        .arg(arguments[0], arguments[1], arguments[2]),
                    Primary};
        return {function + QLatin1Char('(') + arguments.join(QStringLiteral(", ")) + QLatin1Char(')'), Primary};
    }

    QString nameText(const Token &t) const
    {
        QStringList parts;
        for (int i = 0; i < t.parts.size(); ++i) {
            const QString &part = t.parts[i];
            if (!server())
                parts << (t.brackets[i] || isSqliteKeyword(part) ? QLatin1Char('[') + part + QLatin1Char(']') : part);
            else if (t.parts.size() == 1 && aliases_.contains(part.toLower()))
                parts << doubleQuoted(aliases_.value(part.toLower()));
            else if (t.brackets[i] || isServerKeyword(part))
                parts << doubleQuoted(folded(part));
            else
                parts << part;
        }
        return parts.join(QLatin1Char('.'));
    }

    QString source_;
    Engine engine_;
    QHash<QString, QString> aliases_; // lower case: as written
    Token window_[2];
    int statements_ = 0; // the SELECTs the parser is inside
    QString aggregate_;
};

} // namespace

QString translateExpression(const QString &jet, Engine engine)
{
    return Parser(jet, engine).wholeExpression();
}

QString aggregateIn(const QString &jetExpression)
{
    Parser parser(jetExpression, Engine::File);
    parser.wholeExpression();
    return parser.aggregate();
}

bool sortsIgnoringCase(const QString &jetExpression)
{
    static const QRegularExpression column(QStringLiteral("^\\s*\\[?\\w+\\]?\\.\\[?\\w+\\]?\\s*$"));
    return column.match(jetExpression).hasMatch();
}

QString translateStatement(const QString &jet, Engine engine)
{
    return Parser(jet, engine).wholeStatement();
}

} // namespace data
