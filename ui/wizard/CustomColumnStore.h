#pragma once
#include "app/Module1.h"
#include "data/Connection.h"
#include <QString>
#include <optional>

// Reads and writes the custom formula columns of CRCustFld for the custom column window, the
// tests and the benchmarks.

struct CustomColumn {
    QString name, formula, type; // stored as typed; the type is its one-letter code
};

struct LoadedCustomColumn {
    CustomColumn column;
    data::Params stored; // the row as read, to notice another program's change
};

// Empty when no custom column has that code.
std::optional<LoadedCustomColumn> loadCustomColumn(data::Connection &year, const QString &code);

// Stores the column for the report family in one transaction of the year file. A new one
// (`loaded` null) gets "CF-" + the next free "MRN" number in `code`; a loaded one is changed only
// while its row still holds what was loaded, or when `overwrite` is set. Throws data::DbError.
app::SaveResult storeCustomColumn(data::Connection &year, QString &code, const CustomColumn &column,
                                  const QString &family, const LoadedCustomColumn *loaded, bool overwrite = false);
