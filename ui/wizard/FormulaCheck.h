#pragma once
#include "data/Connection.h"
#include "ui/wizard/ReportText.h"
#include <QString>
#include <QVector>

// Stored formulas and report texts are kept as typed; these only tell whether they would run on
// this year's data: a report by compiling its text, a custom column's formula by running it on a
// few rows.

// Why a column's formula is refused: it calls an aggregate function outside a subquery. Empty
// when it does not.
QString aggregateRefusal(const QString &jetExpression);

// Empty when "SELECT expression" over the family's tables runs on the first few rows of the year
// on a read-only connection; otherwise the error: of syntax, or of the engine such as a type
// mismatch. A formula that takes seconds on those rows passes.
QString formulaError(const QString &connectionString, const QString &jetExpression, const QString &sourceFrom);

// Empty when "SELECT expression" over the family's tables compiles; otherwise the error.
QString expressionError(data::Connection &db, const QString &jetExpression, const QString &sourceFrom);

struct ReportError {
    QString message; // empty when the report's text compiles
    QString caption; // the first selected column that fails by itself, whose own error is the
                     // message; empty when none does
};

ReportError reportError(data::Connection &db, const QVector<SelectedColumn> &rows, const QString &extraSelect,
                        const QString &sourceFrom);

// Asks whether to store despite the problem: Yes and No, No the default.
bool storeDespite(const QString &problem, const QString &question);
