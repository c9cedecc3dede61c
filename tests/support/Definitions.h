#pragma once
#include "app/Module1.h"
#include "ui/crosstab/CrossTabStore.h"
#include "ui/wizard/ReportText.h"

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

// The CrMain row a save of these columns writes for the run's family, as TestRoot::rows shows it.
inline QString mainRow(const QString &code, const QString &name, const QVector<SelectedColumn> &rows)
{
    const app::Settings &s = app::settings();
    const ReportText t = buildReportText(rows, s.ExtraSelect, s.SourceFrom);
    return QStringList{code, s.ReportFamily, name, t.sql, t.orderBy, QString::number(t.groupCount), t.totalStr,
                       t.countStr, t.grandTotalStr, t.totDecimalStr, t.formatStr, t.widthStr}
        .join(QLatin1Char('|'));
}
