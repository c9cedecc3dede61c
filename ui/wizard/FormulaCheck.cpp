#include "ui/wizard/FormulaCheck.h"
#include "app/Messages.h"
#include "data/DbError.h"
#include "data/JetSql.h"

QString runnableStatement(const ReportText &text)
{
    const QString orderBy = text.orderBy.trimmed().isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + text.orderBy;
    return data::translateStatement(text.sql + orderBy);
}

QString expressionError(data::Connection &db, const QString &jetExpression, const QString &sourceFrom)
{
    try {
        db.prepare(QStringLiteral("SELECT ") + data::translateExpression(jetExpression) + QLatin1Char(' ') + sourceFrom);
    } catch (const data::DbError &e) {
        return e.text();
    }
    return {};
}

ReportError reportError(data::Connection &db, const QVector<QStringList> &rows, const QString &extraSelect,
                        const QString &sourceFrom)
{
    ReportError error;
    try {
        db.prepare(runnableStatement(buildReportText(rows, extraSelect, sourceFrom, ColumnNames::Runnable)));
        return error;
    } catch (const data::DbError &e) {
        error.message = e.text();
    }
    // The column's own error points into its own text, which the user typed.
    for (const QStringList &cells : rows) {
        const QString own = expressionError(db, columnField(cells, ColumnNames::Runnable), sourceFrom);
        if (!own.isEmpty()) {
            error = {own, cells.value(3)};
            break;
        }
    }
    return error;
}

bool storeDespite(const QString &problem, const QString &question)
{
    return app::MsgBox(problem + QStringLiteral("\n\n") + question, app::Buttons::YesNo, app::Icon::Exclamation, {},
                       app::Answer::No)
        == app::Answer::Yes;
}
