#pragma once
#include <QString>

// Stored report SQL is written in the desktop engine's dialect and is kept as written; these
// turn it into SQL that runs on our engine with the functions of data/JetFunctions.h. Both throw
// SyntaxError (a DbError) naming the position (1-based character) of a syntax error.
namespace data {

// One expression: "IIF( Left(T52.Col99,3) In ('SDC','SCC'), T52.Col93, 0)".
QString translateExpression(const QString &jet);

// A SELECT statement: list, FROM (kept as written), WHERE, GROUP BY, HAVING, ORDER BY.
QString translateStatement(const QString &jet);

} // namespace data
