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

// Arg 0: a new report of 500 columns picked from the catalogue; arg 1: the stored 500-column
// report saved with one column renamed. Opens the wizard ready for that save.
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
    openRun(QStringLiteral("WIZARD"));
    frmRepCust &wizard = frmRepCust::instance();
    for (auto _ : state) {
        state.PauseTiming();
        prepareSave(wizard, state.range(0) != 0);
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

// The values of a table's rows of one report, in their order, without the code that leads them.
QVector<QStringList> storedRows(const QString &table, const QString &code)
{
    QVector<QStringList> rows;
    app::YearDb().forEachRow(QStringLiteral("Select * From %1 Where ColCode=? Order By rowid").arg(table), {code},
                             [&](const QVector<QVariant> &row) {
                                 QStringList values;
                                 for (int i = 1; i < row.size(); ++i)
                                     values << row[i].toString();
                                 rows << values;
                             });
    return rows;
}

QByteArray insertInto(const char *table, int columns)
{
    return QByteArray("Insert Into ") + table + " Values (?" + QByteArray(",?").repeated(columns - 1) + ')';
}

// The rows one save of the case writes, taken from a save by the wizard, inserted again under a
// new code in one transaction through the engine directly.
void WizardSave_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"));
    frmRepCust &wizard = frmRepCust::instance();
    prepareSave(wizard, state.range(0) != 0);
    wizard.cmdSave_Click();
    const QVector<QStringList> main = storedRows(QStringLiteral("CrMain"), wizard.StrCode);
    const QVector<QStringList> children = storedRows(QStringLiteral("CrChild"), wizard.StrCode);
    unloadWizard();
    if (main.size() != 1 || children.size() != BigReportColumns) {
        state.SkipWithError("the wizard's save stored no report");
        return;
    }
    const QByteArray insertChild = insertInto("CrChild", children.first().size() + 1);
    const QByteArray insertMain = insertInto("CrMain", main.first().size() + 1);
    data::Connection &db = app::YearDb();
    for (auto _ : state) {
        const QString code = uniqueName(QStringLiteral("CRFRAW"));
        rawExec(db, "BEGIN IMMEDIATE");
        {
            RawStatement child(db, insertChild.constData());
            for (const QStringList &row : children)
                child.run(QStringList{code} + row);
            RawStatement(db, insertMain.constData()).run(QStringList{code} + main.first());
        }
        rawExec(db, "COMMIT");
    }
}

} // namespace

DESIGNER_CASE(WizardOpen_program);
DESIGNER_CASE(WizardOpen_baseline);
DESIGNER_CASE(WizardSave_program)->Arg(0)->Arg(1);
DESIGNER_CASE(WizardSave_baseline)->Arg(0)->Arg(1);
