#pragma once
#include <QString>

namespace app {

// The settings that belong to a report family; only "PWR" is defined, others are empty.
struct Family {
    QString SourceTables;
    QString SourceFrom;
    QString ExtraSelect;
};
Family reportFamily(const QString &family);

} // namespace app
