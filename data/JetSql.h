#pragma once
#include "data/Connection.h"
#include <QString>

// Stored report SQL is written in the desktop engine's dialect and is kept as written; these
// turn it into SQL that runs on the files with the functions of data/JetFunctions.h, or on the
// server with those of schema/pg/functions.sql (named jet_ and the function's name there). Both
// throw SyntaxError (a DbError) naming the position (1-based character) of a syntax error.
//
// What the dialect means here, and where it differs from the desktop engine:
// - Literals: 'text' and "text" (a doubled quote inside stands for one), numbers, True (-1),
//   False (0), Null, #dates# month first (#4/5/2023# is 5 April) or year first, with a time.
//   Dates are ISO text ('2023-04-05'), as the year's tables hold them.
// - Operators: + (text + text joins; a date + a number of days is a date; Null gives Null),
//   - (a date less days is a date, a date less a date the days between), * / \ Mod ^, &
//   (Null joins as empty text), = <> < > <= >= In Between Like Is [Not] Null, Not And Or, with
//   the desktop engine's precedence. Text compares ignoring case, also on computed values; Like
//   takes * ? # [a-z] [!a-z]. Any operator with a Null operand gives Null, except & and Is.
// - Functions: IIf (only the value it gives is evaluated), Left, Right, Mid, Len, Trim, LTrim, RTrim (blanks only), UCase, LCase,
//   Space, Format (0 # , . % and Standard, Fixed, Percent, General Number; d m y date parts and
//   Short/Medium/Long Date), Round (a half to even), Int, Fix, Val, CStr, CDbl, CInt, CLng
//   (halves to even; out of range is an overflow), Nz, IsNull, Month, Year, Day. Text that
//   stands for a number converts where a number is needed, thousands separators and a percent
//   sign included; other text is a type mismatch. A name ending in $ is the same function.
// - Statements: SELECT [DISTINCT] [TOP n] list FROM (kept as written) WHERE, GROUP BY, HAVING,
//   ORDER BY, subqueries in parentheses and In (...). Aggregates (Sum, Count, Avg, Min, Max) are
//   the engine's own. TOP n PERCENT, UNION, TRANSFORM and the domain functions are not supported.
//
// On the server, [names] are quoted in its folding (lower case) and aliases in their own case;
// comparisons are true or false, read back as 1 and 0 as on the files, and whole numbers a
// function computes come back as doubles (they read the same). Text compares ignoring the case
// of every letter there, of A to Z only on the files; computed text sorts by the database's
// collation (binary, as on the files, on a cluster made with the C locale). Its values have one
// type per column rather than per row, which leaves these differences:
// - IIf's two branches are both numbers or both text there (IIf(c, 1, 'x') is an error); Nz
//   with a number and text gives text.
// - Text + or - a number gives text there (the date or the number as text); a date less a
//   number written as text is a type mismatch.
// - Nz(number) with no replacement gives 0 there, empty text on the files.
// - Comparing text with a number is an error there, where the files compare them as text.
// - Sum, Avg and the like of a text column or of text a function computes are errors there.
// - Left, Right and Mid of Null with a length out of range stop with the overflow there.
namespace data {

// One expression: "IIF( Left(T52.Col99,3) In ('SDC','SCC'), T52.Col93, 0)".
QString translateExpression(const QString &jet, Engine engine = Engine::File);

// The first aggregate function (Sum, Count, Avg, Min, Max) an expression calls outside any
// subquery, as written; empty when none. Throws DbError as translateExpression does.
QString aggregateIn(const QString &jetExpression);

// Whether the engine compares an expression's text ignoring case when it sorts and groups: the
// tables' text columns it does, computed text (on the files) it compares by its bytes.
bool sortsIgnoringCase(const QString &jetExpression);
// A SELECT statement: list, FROM (kept as written), WHERE, GROUP BY, HAVING, ORDER BY.
QString translateStatement(const QString &jet, Engine engine = Engine::File);

} // namespace data
