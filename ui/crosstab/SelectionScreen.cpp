#include "ui/crosstab/SelectionScreen.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "ui/crosstab/CrossPivot.h"
#include "ui/grid/TextBox.h"
#include "ui/crosstab/frmCrossPreview.h"
#include "ui/crosstab/frmRowSelect.h"
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <utility>

SelectionScreen &SelectionScreen::instance()
{
    static SelectionScreen *window = new SelectionScreen;
    return *window;
}

SelectionScreen::SelectionScreen()
{
    setObjectName(QStringLiteral("SelectionScreen"));
    setWindowTitle(QStringLiteral("Report Defination"));
    setFont(QFont(QStringLiteral("Arial")));
    setFixedSize(app::twipsToPixels(9345), app::twipsToPixels(5325));
    picker = new frmRowSelect(this);
    preview = new frmCrossPreview(this);
    Load();
}

// Each opening loads the window afresh, its controls in the designed state; the record number and
// the return flag belong to the window and stay.
void SelectionScreen::Load()
{
    app::unloadControls(this);
    Label1 = app::place(new QLabel(QStringLiteral("Report &Name"), this), "Label1", 120, 120, 1110, 225);
    txtReportName = app::place(new TextBox(this), "txtReportName", 1320, 120, 3735, 375);
    Label2 = app::place(new QLabel(QStringLiteral("Report &Desc."), this), "Label2", 120, 600, 1080, 225);
    txtReportDesc = app::place(new TextBox(this), "txtReportDesc", 1320, 600, 3735, 375);
    cboRepTyp = app::place(new QComboBox(this), "cboRepTyp", 5175, 630, 2175, 315);
    Label3 = app::place(new QLabel(QStringLiteral("&Row Data"), this), "Label3", 120, 1080, 810, 225);
    txtRowData = app::place(new TextBox(this), "txtRowData", 1320, 1080, 3735, 375);
    Label4 = app::place(new QLabel(QStringLiteral("C&ol Data"), this), "Label4", 120, 1560, 720, 225);
    txtColData = app::place(new TextBox(this), "txtColData", 1320, 1560, 3735, 375);
    Label5 = app::place(new QLabel(QStringLiteral("Dis&p Data"), this), "Label5", 120, 2040, 825, 225);
    txtDispData = app::place(new TextBox(this), "txtDispData", 1320, 2040, 3735, 375);
    chkGrouping = app::place(new QCheckBox(QStringLiteral("Grouping"), this), "chkGrouping", 1305, 2430, 3750, 330);
    lblGroupField = app::place(new QLabel(QStringLiteral("&Group Field"), this), "lblGroupField", 120, 2835, 960, 225);
    txtGroupField = app::place(new TextBox(this), "txtGroupField", 1320, 2835, 3735, 375);
    cmdSave = app::place(new QPushButton(QStringLiteral("&Save"), this), "cmdSave", 1320, 3330, 1095, 375);
    cmdCancel = app::place(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel", 2640, 3330, 975, 375);
    cmdPreview = app::place(new QPushButton(QStringLiteral("Pre&view"), this), "cmdPreview", 3735, 3330, 1095, 375);
    cmdPreview->setFocusPolicy(Qt::NoFocus);

    Label1->setBuddy(txtReportName);
    Label2->setBuddy(txtReportDesc);
    Label3->setBuddy(txtRowData);
    Label4->setBuddy(txtColData);
    Label5->setBuddy(txtDispData);
    lblGroupField->setBuddy(txtGroupField);
    QWidget *order[] = {txtReportName, txtReportDesc, cboRepTyp, txtRowData, txtColData,
                        txtDispData,   chkGrouping,   txtGroupField, cmdSave, cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // Enter moves on like Tab; it must never press a button by itself.
    for (QPushButton *b : {cmdSave, cmdCancel, cmdPreview}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    // Not in the picker, where Enter confirms.
    for (QWidget *w : findChildren<QWidget *>())
        if (w->window() == this)
            w->installEventFilter(this);

    connect(cmdSave, &QPushButton::clicked, this, &SelectionScreen::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &SelectionScreen::cmdCancel_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &SelectionScreen::cmdPreview_Click);
    connect(chkGrouping, &QCheckBox::toggled, this, &SelectionScreen::chkGrouping_Click);
    connect(txtReportName, &TextBox::gotFocus, this, &SelectionScreen::txtReportName_GotFocus);
    connect(txtReportDesc, &TextBox::gotFocus, this, &SelectionScreen::txtReportDesc_GotFocus);
    connect(txtRowData, &TextBox::gotFocus, this, &SelectionScreen::txtRowData_GotFocus);
    connect(txtColData, &TextBox::gotFocus, this, &SelectionScreen::txtColData_GotFocus);
    connect(txtDispData, &TextBox::gotFocus, this, &SelectionScreen::txtDispData_GotFocus);
    connect(txtGroupField, &TextBox::gotFocus, this, &SelectionScreen::txtGroupField_GotFocus);
    Form_Load();
}

void SelectionScreen::Form_Load()
{
    cboRepTyp->addItems({QStringLiteral("Party wise Report"), QStringLiteral("Product Ledger "),
                         QStringLiteral("Account Ledger ")});
    cboRepTyp->setCurrentIndex(0);
    chkGrouping_Click();
    txtReportName->setFocus();
}

void SelectionScreen::EntryType(int EType, const QString &LastRecNo)
{
    Load();
    recNo_ = LastRecNo;
    loaded_.reset();
    if (EType == 1 && !LastRecNo.isEmpty() && !DataDisp())
        return;
    opened_ = state();
    focusWhenLeft_ = nullptr;
    exec();
}

// What the user can change, to tell whether the definition has changes.
QStringList SelectionScreen::state() const
{
    QStringList values{QString::number(cboRepTyp->currentIndex()), QString::number(chkGrouping->isChecked())};
    for (const TextBox *box : findChildren<TextBox *>())
        values << box->text() << box->tag;
    return values;
}

void SelectionScreen::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        focusWhenLeft_ = focusWidget();
    QDialog::changeEvent(event);
}

// Esc throws nothing away unasked; Cancel and the close box leave at once, as designed.
void SelectionScreen::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (state() == opened_
        || app::MsgBox(QStringLiteral("Discard the changes to this definition?"), app::Buttons::YesNo,
                       app::Icon::Exclamation, QString(), app::Answer::No)
            == app::Answer::Yes)
        cmdCancel_Click();
}

bool SelectionScreen::DataDisp()
{
    std::optional<crosstab::LoadedCrossTab> found;
    if (!app::withErrorBox([&] { found = crosstab::loadCrossTab(app::YearDb(), recNo_); }))
        return false;
    if (!found) {
        app::MsgBox(QStringLiteral("This report definition no longer exists."), app::Buttons::OkOnly,
                    app::Icon::Critical);
        return false;
    }
    loaded_ = std::move(found);
    const crosstab::CrossTabDefinition &d = loaded_->definition;
    txtReportName->tag = d.name;
    txtReportName->setText(d.name);
    txtReportDesc->setText(d.desc);
    txtRowData->tag = d.rowData;
    txtColData->tag = d.colData;
    txtDispData->tag = d.dispData;
    txtGroupField->tag = d.groupField;
    txtRowData->setText(d.rowName);
    txtColData->setText(d.colName);
    txtDispData->setText(d.dispName);
    txtGroupField->setText(d.groupName);
    chkGrouping->setChecked(d.isGrouping == 1);
    cboRepTyp->setCurrentIndex(d.repType);
    app::tellProblems(loaded_->problems);
    return true;
}

bool SelectionScreen::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(event)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter)
            app::sendTab();
    }
    return QDialog::eventFilter(object, event);
}

void SelectionScreen::chkGrouping_Click()
{
    const bool grouping = chkGrouping->isChecked();
    lblGroupField->setVisible(grouping);
    txtGroupField->setVisible(grouping);
}

// The window activated again (another program, a message box or the preview closing) hands the
// focus back to the box that had it: the user has not entered it. A box given the focus while the
// window was inactive, by a refused check behind its message box, he has.
bool SelectionScreen::entered(const TextBox *box) const
{
    return box->lastReason != Qt::ActiveWindowFocusReason || box != focusWhenLeft_;
}

void SelectionScreen::txtReportName_GotFocus()
{
    if (entered(txtReportName))
        txtReportName->selectAll();
}

void SelectionScreen::txtReportDesc_GotFocus()
{
    if (txtReportDesc->text().isEmpty())
        txtReportDesc->setText(txtReportName->text());
}

void SelectionScreen::txtRowData_GotFocus() { fieldBox_GotFocus(txtRowData); }
void SelectionScreen::txtColData_GotFocus() { fieldBox_GotFocus(txtColData); }
void SelectionScreen::txtDispData_GotFocus() { fieldBox_GotFocus(txtDispData); }
void SelectionScreen::txtGroupField_GotFocus() { fieldBox_GotFocus(txtGroupField); }

void SelectionScreen::fieldBox_GotFocus(TextBox *box)
{
    // The picker's own opening and activation move the focus about; none of that is a request.
    if (picker->isVisible())
        return;
    if (returning_) {
        returning_ = false;
        if (box == txtDispData || box == txtGroupField)
            app::sendTab();
        return;
    }
    if (!entered(box))
        return;
    // Opened once the focus change that called us is complete, not in the middle of it.
    QMetaObject::invokeMethod(
        this,
        [this, box] {
            if (isVisible() && focusWidget() == box && !returning_ && !picker->isVisible())
                openPicker(box);
        },
        Qt::QueuedConnection);
}

void SelectionScreen::openPicker(TextBox *box)
{
    // Set first: the focus may come back to the box before the picker's call returns.
    returning_ = true;
    box->tag = picker->RowSelectData(slotCode(box), box, box->tag);
    activateWindow();
}

QString SelectionScreen::slotCode(const TextBox *box) const
{
    const QString prefix = box == txtDispData ? QStringLiteral("D") : QStringLiteral("RC");
    return prefix + QString::number(cboRepTyp->currentIndex());
}

bool SelectionScreen::refuse(const QString &prompt, QWidget *focus)
{
    if (!prompt.isEmpty())
        app::MsgBox(prompt, app::Buttons::OkOnly, app::Icon::Critical, QStringLiteral("Warning"));
    focus->setFocus();
    return false;
}

bool SelectionScreen::CheckFields()
{
    if (txtReportName->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Report Name Can not Be Empty"), txtReportName);
    if (txtReportDesc->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Report Desc. Can not Be Empty"), txtReportDesc);
    for (TextBox *box : {txtRowData, txtColData, txtDispData})
        if (box->text().isEmpty())
            return refuse(QString(), box);
    if (!txtGroupField->isHidden() && txtGroupField->text().isEmpty())
        return refuse(QString(), txtGroupField);
    if (txtRowData->tag == txtColData->tag)
        return refuse(QStringLiteral("Row Data and Col Data Is Same Please Change..."), txtRowData);
    return true;
}

crosstab::CrossTabDefinition SelectionScreen::shown() const
{
    return {txtReportName->text(), txtReportDesc->text(), txtRowData->tag,       txtColData->tag,
            txtDispData->tag,      txtGroupField->tag,    chkGrouping->isChecked() ? 1 : 0,
            txtRowData->text(),    txtColData->text(),    txtDispData->text(),  txtGroupField->text(),
            cboRepTyp->currentIndex()};
}

// The duplicate-name check and the check for another program's change run inside the save.
void SelectionScreen::cmdSave_Click()
{
    if (!CheckFields())
        return;
    const std::optional<app::SaveResult> result = app::saveAsking([&](bool overwrite) {
        return crosstab::saveCrossTab(app::YearDb(), recNo_, shown(), loaded_ ? &*loaded_ : nullptr, overwrite);
    });
    if (result == app::SaveResult::Saved) {
        emit stored(recNo_);
        done(QDialog::Accepted);
    } else if (result == app::SaveResult::DuplicateName) {
        refuse(QStringLiteral("Duplicate Report Name Not Allowed"), txtReportName);
    } else if (result == app::SaveResult::DeletedElsewhere
               || (result == app::SaveResult::ChangedElsewhere && !DataDisp())) {
        done(QDialog::Rejected);
    }
}

void SelectionScreen::cmdCancel_Click()
{
    done(QDialog::Rejected);
}

void SelectionScreen::reject()
{
    cmdCancel_Click();
}

void SelectionScreen::cmdPreview_Click()
{
    const bool grouping = chkGrouping->isChecked();
    QStringList missing;
    for (const auto &field : {std::pair<TextBox *, const char *>{txtRowData, "Row Data"},
                              {txtColData, "Col Data"}, {txtDispData, "Disp Data"}, {txtGroupField, "Group Field"}})
        if (field.first->tag.isEmpty() && (field.first != txtGroupField || grouping))
            missing << QLatin1String(field.second);
    if (!missing.isEmpty()) {
        app::MsgBox(QStringLiteral("Pick a field for %1 before the preview.").arg(missing.join(QStringLiteral(", "))),
                    app::Buttons::OkOnly, app::Icon::Exclamation, QStringLiteral("Preview"));
        return;
    }
    const crosstab::CrossDefinition definition{cboRepTyp->currentIndex(), txtRowData->tag, txtColData->tag,
                                               txtDispData->tag, grouping ? txtGroupField->tag : QString()};
    // A field that does not parse is told here, before the preview opens.
    if (!app::withErrorBox([&] { crosstab::pivotSql(definition, app::settings().SourceFrom, app::YearDb().engine()); }))
        return;
    const app::Settings &settings = app::settings();
    preview->RunPivot(txtReportName->text(), txtRowData->text(), txtColData->text(), txtDispData->text(),
                      grouping ? txtGroupField->text() : QString(), definition,
                      app::yearConnection(settings),
                      settings.SourceFrom);
    activateWindow();
}
