#include "BenchSupport.h"
#include "app/Module1.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/frmRepCust.h"
#include <QApplication>
#include <QLineEdit>
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
// report saved with one column renamed.
void WizardSave_program(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"));
    frmRepCust &wizard = frmRepCust::instance();
    const bool modify = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        wizard.showForm(modify ? BigReport : QString());
        if (modify) {
            wizard.VSSelectedFld->setTextMatrix(1, 3, uniqueName(QStringLiteral("Amount ")));
        } else {
            // The bulk catalogue's columns exist in no table and would stop the save at its
            // formula check; the demo's own columns are real.
            QVector<int> real;
            for (int r = 1; r < wizard.VSAval->rows(); ++r)
                if (!wizard.VSAval->textMatrix(r, 1).startsWith(QLatin1String("ColBulk")))
                    real << r;
            for (int i = 0; i < BigReportColumns; ++i) {
                wizard.VSAval->setRow(real[i % real.size()]);
                wizard.cmdAdd_Click();
            }
            wizard.txtRepName->setText(uniqueName(QStringLiteral("Bench new ")));
        }
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

// The same CrChild and CrMain rows inserted in one transaction through the engine directly.
void WizardSave_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("WIZARD"));
    data::Connection &db = app::YearDb();
    for (auto _ : state) {
        const QString code = uniqueName(QStringLiteral("CRFRAW"));
        rawExec(db, "BEGIN IMMEDIATE");
        {
            RawStatement child(db, "Insert Into CrChild (ColCode, ColTableName, ColFieldNameOrig, "
                                   "ColFieldNameDisp, ColFieldDataType, ColAlign, ColWidth, ColDecimal, ColGroup, "
                                   "ColSort, ColTotal, ColCount, ColGrandTotal, ColType, ColSeq) "
                                   "Values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
            for (int i = 1; i <= BigReportColumns; ++i)
                child.run({code, QStringLiteral("T52"), QStringLiteral("Col93"), QStringLiteral("Amount %1").arg(i),
                           QStringLiteral("N"), QStringLiteral("R"), QStringLiteral("1500"), QStringLiteral("2"),
                           QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("Y"), QStringLiteral("N"),
                           QStringLiteral("Y"), QStringLiteral("F"), QString::number(i)});
            RawStatement main(db, "Insert Into CrMain (ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, "
                                  "ColTotGroupingCol, ColTotalStr, ColCountStr, ColGrandTotalStr, ColTotStrDecimal, "
                                  "ColFormatStr, ColWidthStrCol) Values (?,?,?,?,?,?,?,?,?,?,?,?)");
            main.run({code, QStringLiteral("PWR"), code, QString(8000, QLatin1Char('x')), QString(), QStringLiteral("0"),
                      QString(2000, QLatin1Char('1')), QString(), QString(2000, QLatin1Char('1')),
                      QString(1000, QLatin1Char('2')), QString(8000, QLatin1Char('A')), QString(2500, QLatin1Char('9'))});
        }
        rawExec(db, "COMMIT");
    }
}

} // namespace

DESIGNER_CASE(WizardOpen_program);
DESIGNER_CASE(WizardOpen_baseline);
DESIGNER_CASE(WizardSave_program)->Arg(0)->Arg(1);
DESIGNER_CASE(WizardSave_baseline)->Arg(0)->Arg(1);
