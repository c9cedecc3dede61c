#pragma once
#include "app/Module1.h"
#include "data/Connection.h"
#include "ui/wizard/SelectedColumn.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// Reads and writes tabular report definitions (a CrMain row and its CrChild rows) for the wizard,
// the list, the tests and the benchmarks.

struct LoadedReport {
    QString name;
    // The columns in the order of their ColSeq, as stored (grouping, sorting and totals as their
    // one-letter codes), but for out-of-range values, which hold what a save stores.
    QVector<SelectedColumn> rows;
    QStringList problems; // the stored values out of range, each with the value a save stores
    QVector<QVector<QVariant>> stored; // the rows as read, to notice another program's change
};

// Empty when no report has that code.
std::optional<LoadedReport> loadReport(data::Connection &year, const QString &code);

// Whether a stored report has the name; the database's own comparison decides.
bool reportNameTaken(data::Connection &year, const QString &name);

// Saves a report in one transaction of the year file; rows[i] is column i + 1. A new report (`loaded` null) gets "CRF" + the next free "OTH" number in `code`, which
// keeps it when the save then fails, so that a retry takes the same number while it is free. A loaded
// one replaces its rows only while they still hold what was loaded, or when `overwrite` is set.
// A name other than the loaded one is checked for duplicates in the same transaction. Throws
// data::DbError.
app::SaveResult saveReport(data::Connection &year, QString &code, const QString &reportName,
                           const QVector<SelectedColumn> &rows, const LoadedReport *loaded, bool overwrite = false);

// Deletes the report with its column rows.
void deleteReport(data::Connection &year, const QString &code);
