#pragma once

struct sqlite3;

namespace data {

// Adds the functions that translated report SQL (data/JetSql.h) calls, with the desktop
// engine's meaning: IIF, jet_left, jet_right, jet_mid, SPACE, MONTH, YEAR, DAY, FORMAT, jet_add,
// jet_cat, jet_div, jet_idiv, jet_mod, jet_pow, jet_like, UCASE, LCASE, LEN, VAL, CSTR, CDBL, CINT,
// CLNG, INT, FIX, NZ, jet_isnull. Throws DbError when the engine refuses one.
void registerJetFunctions(sqlite3 *db);

} // namespace data
