#include "support/TestRoot.h"
#include "support/FakeMessages.h"
#include <QApplication>
#include <QWidget>

TestRoot::TestRoot(Content content, const QString &runMode, int firm, int year)
{
    demo::DemoFiles files = makeTestData(path(), content == Demo, firm, year);
    app::Settings &s = app::settings();
    s.Server = testServer();
    s.FirmNo = firm;
    s.YearNo = year;
    s.DataRoot = path();
    s.RunMode = runMode;
    s.YearDb = std::move(files.year);
    s.FirmDb = std::move(files.firm);
    app::setReportFamily(s, QStringLiteral("PWR"));
    FakeMessages::instance().clear();
}

TestRoot::~TestRoot()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->hide();
    QApplication::processEvents();
    app::settings().YearDb.reset();
    app::settings().FirmDb.reset();
}

void TestRoot::failWrites(const QString &table, const QString &change, const QString &when, Failure failure)
{
    const QString trigger = QStringLiteral("full_%1_%2").arg(table, change);
    if (testServer().isEmpty()) {
        year().execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT,'disk full'); END")
                           .arg(trigger, change, table, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when));
        failing_ << trigger;
        return;
    }
    // A session ended by the server fails at its next statement, the sleep.
    year().execute(QStringLiteral("CREATE OR REPLACE FUNCTION fail_write() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                  "BEGIN IF TG_ARGV[0] = 'end' THEN PERFORM pg_terminate_backend(pg_backend_pid()); "
                                  "PERFORM pg_sleep(5); END IF; RAISE EXCEPTION 'disk full'; END $$"));
    year().execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION fail_write('%5')")
                       .arg(trigger, change, table, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when),
                            failure == SessionEnds ? QStringLiteral("end") : QString()));
    failing_ << trigger + QStringLiteral(" ON ") + table;
}

void TestRoot::allowWrites()
{
    for (const QString &trigger : std::as_const(failing_))
        year().execute(QStringLiteral("DROP TRIGGER ") + trigger);
    failing_.clear();
}

void TestRoot::copyRows(const QString &table, const QString &where)
{
    QStringList columns = year().select(QStringLiteral("Select * From %1 Where 1=0").arg(table)).columns;
    columns.removeIf([](const QString &c) { return c.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0; });
    year().execute(QStringLiteral("Insert Into %1 (%2) Select %2 From %1 %3").arg(table, columns.join(','), where));
}
