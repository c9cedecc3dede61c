#include "BenchSupport.h"
#include "app/Module1.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/frmRepCust.h"
#include <QApplication>
#include "ui/grid/TextBox.h"
#include <QTest>

namespace {

const QString BigReport = QStringLiteral("CRFBIG");
const int BigReportColumns = 500;

// Lets the controls of the last unloaded window go.
void unloadWizard()
{
    frmRepCust::instance().unload();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WizardOpen_program(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"));
    frmRepCust &wizard = frmRepCust::instance();
    for (auto _ : state) {
        wizard.showForm(BigReport);
        if (!QTest::qWaitForWindowExposed(&wizard))
            state.SkipWithError("the wizard was not shown");
        state.PauseTiming();
        unloadWizard();
        state.ResumeTiming();
    }
}

void WizardOpen_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"));
    data::Connection &db = app::YearDb();
    for (auto _ : state) {
        queryIntoStrings(db, QStringLiteral("Select * From CRDefCol Where ColTableName In(")
                                 + app::settings().SourceTables + QStringLiteral(") Order By ColTableName , FldDName "));
        queryIntoStrings(db, QStringLiteral("Select * from CRCustFld Where MCode=?"), {app::settings().ReportFamily});
        queryIntoStrings(db, QStringLiteral("Select * From CRMain Where ColCode=?"), {BigReport});
        queryIntoStrings(db, QStringLiteral("Select * From CRChild Where  ColCode=? Order by ColSeq "), {BigReport});
    }
}

// Arg 1: a new report of 500 columns picked from the catalogue (0), or the stored 500-column
// report saved with one column renamed (1). Opens the wizard ready for that save.
void prepareSave(frmRepCust &wizard, bool modify)
{
    wizard.showForm(modify ? BigReport : QString());
    if (modify) {
        wizard.VSSelectedFld->setTextMatrix(1, 3, uniqueName(QStringLiteral("Amount ")));
        return;
    }
    // The bulk catalogue's columns exist in no table and would stop the save at its formula
    // check; the demo's own columns are real.
    QVector<int> real;
    for (int r = 1; r < wizard.VSAval->rows(); ++r)
        if (!wizard.VSAval->textMatrix(r, SelectedColumn::ColumnName).startsWith(QLatin1String("ColBulk")))
            real << r;
    for (int i = 0; i < BigReportColumns; ++i) {
        wizard.VSAval->setRow(real[i % real.size()]);
        wizard.cmdAdd_Click();
    }
    wizard.txtRepName->setText(uniqueName(QStringLiteral("Bench new ")));
}

void WizardSave_program(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"), providerOf(state));
    frmRepCust &wizard = frmRepCust::instance();
    for (auto _ : state) {
        state.PauseTiming();
        prepareSave(wizard, state.range(1) != 0);
        state.ResumeTiming();
        wizard.cmdSave_Click();
        state.PauseTiming();
        if (wizard.isVisible()) {
            state.SkipWithError("the report was not saved");
            break;
        }
        unloadWizard();
        state.ResumeTiming();
    }
}

// A table's rows of one report in their order, as text, and an insert of such a row. The code
// leads each row; the rowid, a column of its own on the server, is left out.
struct StoredRows {
    QVector<QStringList> rows;
    QByteArray insert;
};

StoredRows storedRows(const QString &table, const QString &code)
{
    const data::RowSet stored =
        app::YearDb().select(QStringLiteral("Select * From %1 Where ColCode=? Order By rowid").arg(table), {code});
    QStringList columns;
    for (const QString &column : stored.columns)
        if (column.compare(QLatin1String("rowid"), Qt::CaseInsensitive) != 0)
            columns << column;
    StoredRows result;
    for (const auto &row : stored.rows) {
        QStringList values;
        for (int i = 0; i < row.size(); ++i)
            if (stored.columns[i].compare(QLatin1String("rowid"), Qt::CaseInsensitive) != 0)
                values << row[i].toString();
        result.rows << values;
    }
    result.insert = QStringLiteral("Insert Into %1 (%2) Values (?%3)")
                        .arg(table, columns.join(QLatin1Char(',')), QStringLiteral(",?").repeated(columns.size() - 1))
                        .toUtf8();
    return result;
}

// The rows one save of the case writes, taken from a save by the wizard, inserted again under a
// new code in one transaction through the engine directly.
void WizardSave_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"), providerOf(state));
    frmRepCust &wizard = frmRepCust::instance();
    prepareSave(wizard, state.range(1) != 0);
    wizard.cmdSave_Click();
    const StoredRows main = storedRows(QStringLiteral("CrMain"), wizard.StrCode);
    const StoredRows children = storedRows(QStringLiteral("CrChild"), wizard.StrCode);
    unloadWizard();
    if (main.rows.size() != 1 || children.rows.size() != BigReportColumns) {
        state.SkipWithError("the wizard's save stored no report");
        return;
    }
    data::Connection &db = app::YearDb();
    for (auto _ : state) {
        const QString code = uniqueName(QStringLiteral("CRFRAW"));
        rawBegin(db);
        {
            RawStatement child(db, children.insert.constData());
            for (const QStringList &row : children.rows)
                child.run(QStringList{code} + row.mid(1));
            RawStatement(db, main.insert.constData()).run(QStringList{code} + main.rows.first().mid(1));
        }
        rawCommit(db);
    }
}

} // namespace

DESIGNER_CASE(WizardOpen_program);
DESIGNER_CASE(WizardOpen_baseline);
DESIGNER_CASE(WizardSave_program)->ArgsProduct({Providers, {0, 1}})->ArgNames({"server", ""});
DESIGNER_CASE(WizardSave_baseline)->ArgsProduct({Providers, {0, 1}})->ArgNames({"server", ""});
