#pragma once
#include "app/Twips.h"
#include "support/Ui.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/frmRowSelect.h"
#include "ui/grid/Grid.h"
#include <gtest/gtest.h>
#include <QLineEdit>
#include <memory>

// Drives the modal definition window and the pickers it opens, from inside their own loops.
class DesignerScript {
public:
    // Runs body in the definition window that `open` shows; a window that went wrong fails the test.
    void run(const std::function<void()> &open, const std::function<void(SelectionScreen &)> &body)
    {
        script.expect<SelectionScreen>([body](SelectionScreen *s) { body(*s); });
        open();
        if (!script.finish())
            ADD_FAILURE() << script.failure().toStdString();
    }
    void entry(int eType, const QString &recNo, const std::function<void(SelectionScreen &)> &body)
    {
        run([&] { SelectionScreen::instance().EntryType(eType, recNo); }, body);
    }

    // Does what should open the picker, runs choose in it, and waits until the focus is back in
    // the definition window. Returns the picker's current row as it opened.
    int pick(const std::function<void()> &trigger, const std::function<void()> &choose = [] {})
    {
        // Shared, as a step that never ran must not outlive what it writes to.
        auto preselected = std::make_shared<int>(-1);
        auto ran = std::make_shared<bool>(false);
        script.expect<frmRowSelect>([=](frmRowSelect *p) {
            *preselected = p->vfg->row();
            choose();
            key(Qt::Key_Return);
            *ran = true;
        });
        trigger();
        if (!QTest::qWaitFor([&] { return *ran && !(*SelectionScreen::instance().picker).isVisible(); }, 5000))
            ADD_FAILURE() << "the picker did not open and close";
        settle(30);
        return *preselected;
    }

    ModalScript script;
};

inline void down(int times)
{
    for (int i = 0; i < times; ++i)
        key(Qt::Key_Down);
}

// Alt+S presses Save a moment later.
inline void save()
{
    key(Qt::Key_S, Qt::AltModifier);
    QTest::qWait(250);
    settle(20);
}

struct Opening {
    QString expression; // returned
    QString caption;    // written into the box
    int preselected = 0;
    QString failure;
};

// Opens the picker as a field box would, runs keys in it, and confirms with `confirm`.
inline Opening openPicker(const QString &slot, const QString &tag, std::function<void()> keys = {},
             std::function<void(frmRowSelect *)> confirm = [](frmRowSelect *) { key(Qt::Key_Return); })
{
    frmRowSelect &picker = (*SelectionScreen::instance().picker);
    Opening result;
    // The active window the picker is opened from, as the definition window would be.
    QWidget owner;
    owner.show();
    owner.activateWindow();
    settle();
    QLineEdit box(&owner);
    box.setText(QStringLiteral("typed over"));
    ModalScript script;
    script.expect<frmRowSelect>([&](frmRowSelect *p) {
        result.preselected = p->vfg->row();
        EXPECT_EQ(QApplication::focusWidget(), p->vfg);
        EXPECT_TRUE(p->vfg->isColumnHidden(1));
        EXPECT_EQ(p->pos(), QPoint(app::twipsToPixels(5300), app::twipsToPixels(450)));
        if (keys)
            keys();
        confirm(p);
    });
    result.expression = picker.RowSelectData(slot, &box, tag);
    result.caption = box.text();
    if (!script.finish())
        result.failure = script.failure();
    EXPECT_FALSE(picker.isVisible());
    return result;
}
