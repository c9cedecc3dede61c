#pragma once
#include <QString>
#include <QVariant>
#include <optional>

struct sqlite3;

namespace data {

// Adds the functions that translated report SQL (data/JetSql.h) calls, with the desktop
// engine's meaning: jet_true (IIf's condition), jet_left, jet_right, jet_mid, SPACE, MONTH, YEAR, DAY, FORMAT, jet_add,
// jet_cat, jet_div, jet_idiv, jet_mod, jet_pow, jet_like, UCASE, LCASE, LEN, VAL, CSTR, CDBL, CINT,
// CLNG, INT, FIX, NZ, jet_isnull, jet_sub, jet_round, jet_trim, jet_ltrim, jet_rtrim. Throws
// DbError when the engine refuses one.
void registerJetFunctions(sqlite3 *db);

// A value as a number the way the desktop engine converts it: numbers as they are, text such as
// " 1,234.50" or "12.5%" by its number; empty for a null and for text that is no number.
std::optional<double> numberValue(const QVariant &value);

// Format(value, pattern), as the function of that name computes it on a row.
QString formatValue(const QVariant &value, const QString &pattern);

} // namespace data
