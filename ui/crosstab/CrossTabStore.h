#pragma once
#include "app/Module1.h"
#include <QString>
#include <QStringList>
#include <optional>

// Reads and writes cross-tab definitions (ZoCTR rows) for the definition window, the list, the
// tests and the benchmarks.
namespace crosstab {

// One definition as a save stores it, its key aside; the name and description are trimmed there.
struct CrossTabDefinition {
    QString name, desc;
    QString rowData, colData, dispData, groupField; // the fields' expressions
    int isGrouping = 0;
    QString rowName, colName, dispName, groupName; // the fields' captions
    int repType = 0;
};

struct LoadedCrossTab {
    CrossTabDefinition definition; // what the window shows and an unchanged save stores
    data::Params stored;           // the row as read, to notice another program's change
    QStringList problems;          // stored values out of range, each with the value a save stores
};

// Empty when no definition has that key.
std::optional<LoadedCrossTab> loadCrossTab(data::Connection &year, const QString &recNo);

// Whether another definition already has the name; the database's own comparison decides.
bool crossTabNameTaken(data::Connection &year, const QString &name);

// Stores the definition in one transaction of the year file. A new one (`loaded` null) gets
// "CTR" + the next free "OTH" number in `recNo`, which keeps it when the save then fails, so that
// a retry takes the same number while it is still free. A loaded one replaces its row only
// while the row still holds what was loaded, or when `overwrite` is set. A name other than the
// loaded one is checked for duplicates in the same transaction. Throws data::DbError.
app::SaveResult saveCrossTab(data::Connection &year, QString &recNo, const CrossTabDefinition &definition,
                        const LoadedCrossTab *loaded, bool overwrite = false);

void deleteCrossTab(data::Connection &year, const QString &recNo);

} // namespace crosstab
