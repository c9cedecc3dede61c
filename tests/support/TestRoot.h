#pragma once
#include "app/Module1.h"
#include "data/Connection.h"
#include "support/TestData.h"
#include <QTemporaryDir>
#include <QVariant>

// A data root of its own, opened as the run's two databases with the run-wide settings filled
// as start-up fills them: files under the root, or databases on the test server (TestData.h). On
// destruction the connections are dropped and every window hidden.
class TestRoot {
public:
    enum Content { Demo, Empty };
    explicit TestRoot(Content content = Demo, const QString &runMode = QStringLiteral("CTR"), int firm = 1,
                      int year = 1);
    ~TestRoot();

    QString path() const { return dir_.path(); }
    data::Connection &year() { return *app::settings().YearDb; }
    data::Connection &firm() { return *app::settings().FirmDb; }

    // The rows of a query on the year database, as rowTexts gives them (null as "").
    QStringList rows(const QString &sql, const data::Params &params = {}) { return rowTexts(year(), sql, params); }
    // The first value of the query's first row; null when there is none.
    QVariant value(const QString &sql, const data::Params &params = {})
    {
        return year().select(sql, params).rows.value(0).value(0);
    }
    // The counter of a number series in the firm database; -1 when it has none.
    int counter(const QString &series)
    {
        const QString read = QStringLiteral("Select Col98 From ZoF05 Where Col99=?");
        return firm().select(read, {series}).rows.value(0).value(0, -1).toInt();
    }

    // The year database refuses each `change` ("INSERT" or "UPDATE") of the table's rows that match
    // `when` (every row when empty) until allowWrites(): with "disk full", as a full disk would, or
    // on a server by ending the session, as a restart of the server does.
    enum Failure { DiskFull, SessionEnds };
    void failWrites(const QString &table, const QString &change = QStringLiteral("INSERT"),
                    const QString &when = {}, Failure failure = DiskFull);
    void allowWrites();

    // Inserts a copy of the table's rows that match `where` ("Where ..."), each with a rowid of its own.
    void copyRows(const QString &table, const QString &where = {});

private:
    QTemporaryDir dir_;
    QStringList failing_; // "trigger ON table"
};
