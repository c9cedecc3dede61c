#include "ui/wizard/FormulaCheck.h"
#include "app/Messages.h"
#include "data/DbError.h"
#include "data/CancellableRun.h"
#include "data/JetSql.h"
#include <QSet>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr int CheckedRows = 5;
constexpr int CheckMs = 3000;

} // namespace

QString expressionError(data::Connection &db, const QString &jetExpression, const QString &sourceFrom)
{
    try {
        db.prepare(QStringLiteral("SELECT ") + data::translateExpression(jetExpression, db.engine()) + QLatin1Char(' ') +
                   sourceFrom);
    } catch (const data::DbError &e) {
        return e.text();
    }
    return {};
}

QString aggregateRefusal(const QString &jetExpression)
{
    QString aggregate;
    try {
        aggregate = data::aggregateIn(jetExpression);
    } catch (const data::DbError &) {
        return {}; // the formula check tells it
    }
    if (aggregate.isEmpty())
        return {};
    return QStringLiteral("A column's formula gives one value for each row and cannot use %1, which adds up "
                          "rows. Set the column's Total, Count or Grand Total in the wizard instead.")
        .arg(aggregate);
}

QString formulaError(const QString &connectionString, const QString &jetExpression, const QString &sourceFrom)
{
    // A formula slower than this on a few rows is not held against it here; its preview shows it.
    data::CancellableRun run;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> hold(lock);
        if (!finished.wait_for(hold, std::chrono::milliseconds(CheckMs), [&] { return done; }))
            run.cancel();
    });
    QString error;
    try {
        run.run(connectionString, [&](data::Connection &db) {
            db.forEachRow(QStringLiteral("SELECT ") + data::translateExpression(jetExpression, db.engine()) +
                              QLatin1Char(' ') + sourceFrom + QStringLiteral(" LIMIT ") + QString::number(CheckedRows),
                          {}, [](const QVector<QVariant> &) {});
        });
    } catch (const data::DbError &e) {
        if (!run.cancelled())
            error = e.text();
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
    return error;
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
        db.prepare(data::translateStatement(select + extraSelect + QLatin1Char(' ') + sourceFrom, db.engine()));
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
