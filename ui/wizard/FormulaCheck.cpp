#include "ui/wizard/FormulaCheck.h"
#include "app/Messages.h"
#include "data/DbError.h"
#include "data/JetSql.h"
#include <QSet>

QString expressionError(data::Connection &db, const QString &jetExpression, const QString &sourceFrom)
{
    try {
        db.prepare(QStringLiteral("SELECT ") + data::translateExpression(jetExpression) + QLatin1Char(' ') + sourceFrom);
    } catch (const data::DbError &e) {
        return e.text();
    }
    return {};
}

ReportError reportError(data::Connection &db, const QVector<SelectedColumn> &rows, const QString &extraSelect,
                        const QString &sourceFrom)
{
    // The report's text runs when each of its fields does with the family's own select and
    // tables: the format and the order around them are ours. Reports repeat the same few fields
    // many times, so each is compiled once, under the caption of its first column.
    struct Field {
        QString text, caption;
    };
    QVector<Field> fields;
    QSet<QString> seen;
    QString select = QStringLiteral("Select Space(0)");
    for (const SelectedColumn &column : rows) {
        const QString field = columnField(column, ColumnNames::Runnable);
        if (!seen.contains(field)) {
            seen.insert(field);
            fields.push_back({field, column[SelectedColumn::Caption]});
            select += QStringLiteral(" , ") + field;
        }
    }
    try {
        db.prepare(data::translateStatement(select + extraSelect + QLatin1Char(' ') + sourceFrom));
        return {};
    } catch (const data::DbError &e) {
        // The column's own error points into its own text, which the user typed.
        for (const Field &field : fields) {
            const QString own = expressionError(db, field.text, sourceFrom);
            if (!own.isEmpty())
                return {own, field.caption};
        }
        return {e.text(), {}};
    }
}

bool storeDespite(const QString &problem, const QString &question)
{
    return app::MsgBox(problem + QStringLiteral("\n\n") + question, app::Buttons::YesNo, app::Icon::Exclamation, {},
                       app::Answer::No)
        == app::Answer::Yes;
}
