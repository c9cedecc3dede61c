#pragma once
#include "ui/crosstab/CrossTabStore.h"
#include "ui/wizard/SelectedColumn.h"

// Small definitions for the tests that save through the stores.
inline crosstab::CrossTabDefinition crossTab(const QString &name)
{
    return {name, "Desc", "M02.Col98", "M02.Col88", "M02.Col80", "", 0, "Party", "City", "Opening", "", 1};
}

// The party's name as the one column, under this caption.
inline QVector<SelectedColumn> columns(const QString &caption)
{
    return {SelectedColumn({"M02", "Col98", "C", caption, "Left", "2000", "0", "None", "None", "No", "No", "No"})};
}
