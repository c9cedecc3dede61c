#include "support/TestRoot.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "tests/ui/wizard/WizardUi.h"
#include "ui/crosstab/frmRowSelect.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/frmRepCust.h"
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// Longer than the pause that starts a new search.
void waitPastPause() { QTest::qWait(1100); }

QString current(Grid *grid, int col) { return grid->textMatrix(grid->row(), col); }

} // namespace

// The picker finds captions as typed and Enter still confirms; the same search runs in the
// wizard's caption column, and the row found is the one Add takes.
TEST(TypeAhead, ThePickerAndTheWizardsAvailableColumnsFindCaptionsAsTyped)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    QStringList seen;
    const Opening o = openPicker("RC0", "M20.Col98A", [&] {
        Grid *g = (*SelectionScreen::instance().picker).vfg;
        seen << current(g, 0);             // Product Alias, the box's field
        type("p");                         // the next row starting with P
        seen << current(g, 0);
        type("A");                         // "pA" from there on, ignoring case
        seen << current(g, 0);
        type("c");                         // "pac" fits nothing: the row stays
        seen << current(g, 0);
        waitPastPause();
        type("c");                         // a new search: the next C after Party Type
        seen << current(g, 0);
        type("i");                         // "ci" wraps round to the top
        seen << current(g, 0);
        key(Qt::Key_Down);                 // arrows keep their meaning
        seen << current(g, 0);
    });
    EXPECT_EQ(o.failure, "");
    EXPECT_EQ(seen.join('|').toStdString(), "Product Alias|Product Group|Party Type|Party Type|Cartons|City Name|"
                                            "Area Name");
    EXPECT_EQ(o.caption + "=" + o.expression, "Area Name=M02.Col86");

    frmRepCust &w = openWizard();
    ASSERT_EQ(QApplication::focusWidget(), w.VSAval);
    type("PR");
    EXPECT_EQ(current(w.VSAval, 3), "Product Alias");
    QTest::mouseClick(w.cmdAdd, Qt::LeftButton);
    ASSERT_EQ(w.VSSelectedFld->rows(), 2);
    EXPECT_EQ(w.VSSelectedFld->textMatrix(1, C::Caption), "Product Alias");
}
