#include "BenchSupport.h"
#include "app/Module1.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/frmRowSelect.h"
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

const QString AllUserFields = QStringLiteral("Select Distinct(Col99) , Col98 From ZoM35 Order By Col98 ");
const QString UserValueFields =
    QStringLiteral("Select Distinct(Col99) , Col98 From ZoM35 Where Col95 ='M'  And Col96 ='N'   ");

// Confirms the picker as soon as it is shown, as a user pressing Enter at once would.
class ConfirmAtOnce : public QObject {
public:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (auto *picker = qobject_cast<frmRowSelect *>(object); picker && event->type() == QEvent::Show)
            QTimer::singleShot(0, picker, &frmRowSelect::cmdOK_Click);
        return false;
    }
};

// Arg 1: the row and column catalogue "RC0" (0) or the value catalogue "D0" (1).
void Picker_program(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"), providerOf(state));
    const QString slot = state.range(1) ? QStringLiteral("D0") : QStringLiteral("RC0");
    frmRowSelect &picker = *SelectionScreen::instance().picker;
    ConfirmAtOnce confirm;
    picker.installEventFilter(&confirm);
    QLineEdit caption;
    for (auto _ : state)
        benchmark::DoNotOptimize(picker.RowSelectData(slot, &caption, QStringLiteral("ColUser4000")));
    picker.removeEventFilter(&confirm);
}

void Picker_baseline(benchmark::State &state)
{
    openRun(QStringLiteral("CTR"), providerOf(state));
    for (auto _ : state)
        queryIntoStrings(app::YearDb(), state.range(1) ? UserValueFields : AllUserFields);
}

} // namespace

DESIGNER_CASE(Picker_program)->ArgsProduct({Providers, {0, 1}})->ArgNames({"server", ""});
DESIGNER_CASE(Picker_baseline)->ArgsProduct({Providers, {0, 1}})->ArgNames({"server", ""});
