#include "support/TestRoot.h"
#include "app/Module1.h"
#include "support/FakeMessages.h"
#include "tools/demo/DemoData.h"
#include <QApplication>
#include <QWidget>

TestRoot::TestRoot(Content content, const QString &runMode, int firm, int year)
{
    demo::DemoFiles files = content == Demo ? demo::makeDemoData(path(), firm, year)
                                            : demo::makeEmptyData(path(), firm, year);
    app::Settings &s = app::settings();
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

data::Connection &TestRoot::year()
{
    return *app::settings().YearDb;
}

data::Connection &TestRoot::firm()
{
    return *app::settings().FirmDb;
}

QStringList TestRoot::rows(const QString &sql, const data::Params &params)
{
    QStringList result;
    for (const auto &row : year().select(sql, params).rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << (v.isNull() ? QString() : v.toString());
        result << cells.join(QLatin1Char('|'));
    }
    return result;
}

QVariant TestRoot::value(const QString &sql, const data::Params &params)
{
    const auto rs = year().select(sql, params);
    return rs.rows.isEmpty() ? QVariant() : rs.rows.first().first();
}

int TestRoot::counter(const QString &series)
{
    const auto rs = firm().select(QStringLiteral("Select Col98 From ZoF05 Where Col99=?"), {series});
    return rs.rows.isEmpty() ? -1 : rs.rows.first().first().toInt();
}
