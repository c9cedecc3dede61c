#include "ui/wizard/frmRepCust.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/grid/TextBox.h"
#include "ui/print/Export.h"
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

using C = SelectedColumn;

const QString AvailFormat = QStringLiteral(
    "TabName|Column Name|Data Type|< Available Column                                           | Alignment|Width "
    "|Decimal");
const QString SelectedFormat = QStringLiteral(
    "TabName|Column Name|Data Type|< Display Column Name                                   | Alignment|Width|Decimal"
    "|Grouping|Sorting| Total|Count|Grand Total ");

QPushButton *button(const QString &caption, QWidget *parent, const char *name, int left, int top, int width)
{
    return app::place(new QPushButton(caption, parent), name, left, top, width, 375);
}

QLabel *label(const QString &caption, QWidget *parent, const char *name, int left, int top, int width)
{
    return app::place(new QLabel(caption, parent), name, left, top, width, 255);
}

// Focus leaving for another window or a popup is no move to another control of the wizard.
bool leavesForAnotherControl(const QEvent *event)
{
    const auto reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

frmRepCust &frmRepCust::instance()
{
    static frmRepCust *window = new frmRepCust;
    return *window;
}

frmRepCust::frmRepCust()
{
    setObjectName(QStringLiteral("frmRepCust"));
    Load();
}

// A wizard of a shorter life than the program's stops its preview before its controls go.
frmRepCust::~frmRepCust()
{
    stopPreview();
}

void frmRepCust::Load()
{
    if (loaded_)
        return;
    app::unloadControls(this);
    buildControls();
    connectHandlers();
    loaded_ = true;
    Form_Load();
}

// Page controls are placed in page coordinates; everything else in the window's.
void frmRepCust::buildControls()
{
    setWindowTitle(QStringLiteral("Wizard for Report Setting"));
    setFont(QFont(QStringLiteral("Arial")));
    resize(app::twipsToPixels(11760), app::twipsToPixels(7080));

    SSTab1 = app::place(new TabControl(this), "SSTab1", 120, 120, 11520, 6240);
    auto *fields = new QWidget;
    auto *customize = new QWidget;
    SSTab1->addTab(fields, QStringLiteral("Select &Fields"));
    SSTab1->addTab(customize, QStringLiteral("&Customize"));
    SSTab1->addTab(new QWidget, QStringLiteral("Tab 2"));

    lblAvail = label(QStringLiteral("Available Column Names"), fields, "lblAvail", 240, 480, 3660);
    lblIncluded = label(QStringLiteral("Columns included in Display"), fields, "lblIncluded", 5100, 480, 3705);

    VSAval = app::place(new Grid(this), "VSAval", 360, 1305, 3660, 3000);
    VSAval->setFormatString(AvailFormat);
    VSAval->setTypeAheadColumn(C::Caption);
    cmdAdd = button(QStringLiteral(">>"), fields, "cmdAdd", 4080, 1320, 840);
    cmdRemove = button(QStringLiteral("<<"), fields, "cmdRemove", 4080, 1800, 840);

    txtWidth = app::place(new QLineEdit(QStringLiteral("0"), this), "txtWidth", 0, 0, 800, 285);
    cboGrpSort = app::place(new QComboBox(this), "cboGrpSort", 0, 0, 1000, 315);
    cboTot = app::place(new QComboBox(this), "cboTot", 0, 0, 1000, 315);

    // Tab from an editor lands on the grid below it, which closes the combos.
    VSSelectedFld = app::place(new Grid(this), "VSSelectedFld", 5220, 1300, 3705, 3000);
    VSSelectedFld->setFormatString(SelectedFormat);
    cmdUp = button(QStringLiteral("Up"), fields, "cmdUp", 8940, 1320, 840);
    cmdDown = button(QStringLiteral("Down"), fields, "cmdDown", 8940, 1800, 840);

    Frame1 = app::place(new QGroupBox(QStringLiteral("Customize"), fields), "Frame1", 240, 4320, 8700, 840);
    Label1 = label(QStringLiteral("Rename :"), Frame1, "Label1", 120, 360, 780);
    txtRename = app::place(new QLineEdit(Frame1), "txtRename", 960, 330, 1740, 315);
    cmdChange = button(QStringLiteral("Change Column Name"), Frame1, "cmdChange", 2820, 300, 1980);
    cmdCustField = button(QStringLiteral("Add Custom Field..."), Frame1, "cmdCustField", 4920, 300, 1740);
    cmdCustFieldMod = button(QStringLiteral("Modify Custom Field..."), Frame1, "cmdCustFieldMod", 6780, 300, 1860);

    Label2 = label(QStringLiteral("Enter Report Name to Save : "), fields, "Label2", 240, 5340, 2400);
    txtRepName = app::place(new TextBox(QStringLiteral("Report1"), fields), "txtRepName", 2700, 5300, 3000, 315);

    // The last page's controls lie where the column grids stand on the other pages.
    cmdPreview = button(PreviewCaption, this, "cmdPreview", 360, 600, 1200);
    lblPreviewInfo = label(QString(), this, "lblPreviewInfo", 1700, 660, 6000);
    prgPreview = app::place(new QProgressBar(this), "prgPreview", 7800, 640, 3600, 270);
    prgPreview->setRange(0, 0);
    prgPreview->setTextVisible(false);
    VSFPreview = app::place(new Grid(this), "VSFPreview", 360, 1080, 11040, 5100);
    cmdPrint = button(QStringLiteral("&Print..."), this, "cmdPrint", 120, 6540, 1000);
    cmdPdf = button(QStringLiteral("P&DF..."), this, "cmdPdf", 1200, 6540, 1000);
    cmdExport = button(QStringLiteral("&Export..."), this, "cmdExport", 2280, 6540, 1000);
    lblExportInfo = label(QString(), this, "lblExportInfo", 3360, 6600, 2900);
    export_ = new report::ExportRunner(lblExportInfo, {cmdPrint, cmdPdf, cmdExport});
    showPreviewControls();

    cmdBack = button(QStringLiteral("&Back"), this, "cmdBack", 6360, 6540, 1200);
    cmdNext = button(QStringLiteral("&Next"), this, "cmdNext", 7680, 6540, 1200);
    cmdSave = button(QStringLiteral("&Save"), this, "cmdSave", 9000, 6540, 1200);
    cmdCancel = button(QStringLiteral("&Cancel"), this, "cmdCancel", 10320, 6540, 1200);

    for (QWidget *editor : {static_cast<QWidget *>(txtWidth), static_cast<QWidget *>(cboGrpSort),
                            static_cast<QWidget *>(cboTot)}) {
        editor->hide();
        editor->raise();
    }
    // The first page has no earlier one.
    cmdBack->setEnabled(false);
    VSAval->setFocus();
}

void frmRepCust::connectHandlers()
{
    connect(SSTab1, &TabControl::pageClick, this, &frmRepCust::SSTab1_Click);
    connect(SSTab1, &TabControl::pageClick, this, &frmRepCust::showPreviewControls);
    connect(cmdPreview, &QPushButton::clicked, this, &frmRepCust::cmdPreview_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmRepCust::cmdPrint_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &frmRepCust::cmdPdf_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmRepCust::cmdExport_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmRepCust::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmRepCust::cmdBack_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRepCust::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmRepCust::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmRepCust::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmRepCust::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmRepCust::cmdDown_Click);
    connect(cmdChange, &QPushButton::clicked, this, &frmRepCust::cmdChange_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmRepCust::cmdSave_Click);
    connect(cmdCustField, &QPushButton::clicked, this, &frmRepCust::cmdCustField_Click);
    connect(cmdCustFieldMod, &QPushButton::clicked, this, &frmRepCust::cmdCustFieldMod_Click);
    connect(VSSelectedFld, &Grid::gotFocus, this, &frmRepCust::VSSelectedFld_GotFocus);
    connect(VSSelectedFld, &Grid::keyPressed, this, &frmRepCust::VSSelectedFld_KeyPress);
    connect(VSSelectedFld, &Grid::rowColChanged, this, &frmRepCust::VSSelectedFld_RowColChange);
    for (QWidget *w : {static_cast<QWidget *>(txtRepName), static_cast<QWidget *>(txtWidth),
                       static_cast<QWidget *>(cboGrpSort), static_cast<QWidget *>(cboTot)})
        w->installEventFilter(this);
}

// Got focus, key press and validate (the focus moving to another control) of the boxes.
bool frmRepCust::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtRepName)
            txtRepName_GotFocus();
        else if (watched == txtWidth)
            txtWidth_GotFocus();
    } else if (event->type() == QEvent::FocusOut && leavesForAnotherControl(event)) {
        if (watched == txtWidth)
            txtWidth_Validate();
        else if (watched == cboGrpSort)
            cboGrpSort_Validate();
        else if (watched == cboTot)
            cboTot_Validate();
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int keyAscii = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ? 13 : 0;
        if (watched == txtWidth)
            txtWidth_KeyPress(keyAscii);
        else if (watched == cboGrpSort)
            cboGrpSort_KeyPress(keyAscii);
        else if (watched == cboTot)
            cboTot_KeyPress(keyAscii);
    }
    return QWidget::eventFilter(watched, event);
}

void frmRepCust::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && cmdCancel->isEnabled()) {
        cmdCancel->click();
    } else if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
               && event->modifiers() & Qt::ControlModifier) {
        // The pages' controls belong to the window, so the tab control never hears its Ctrl+Tab.
        const int step = event->key() == Qt::Key_Backtab || event->modifiers() & Qt::ShiftModifier ? -1 : 1;
        SSTab1->setTab((SSTab1->tab() + step + SSTab1->count()) % SSTab1->count());
    } else {
        QWidget::keyPressEvent(event);
    }
}

// However the window is closed, it is unloaded; minimising it is no close.
void frmRepCust::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        export_->stop();
        stopPreview();
        loaded_ = false;
    }
    QWidget::hideEvent(event);
}

void frmRepCust::showForm(const QString &code)
{
    // Open on another definition, the wizard starts from that one, once the user has agreed to
    // lose what he has not saved; the same stored report stays as it is.
    if (isVisible() && (code.isEmpty() || code != StrCode)) {
        if (hasChanges()
            && app::MsgBox(QStringLiteral("Discard the changes to the report in the wizard?"), app::Buttons::YesNo,
                           app::Icon::Exclamation, QString(), app::Answer::No)
                != app::Answer::Yes) {
            activateWindow();
            return;
        }
        unload();
    }
    Load();
    StrCode = code;
    FillGrid();
    if (fillFailed_) {
        // A window that never opened is no loaded window.
        if (!isVisible())
            loaded_ = false;
        return;
    }
    openedName_ = txtRepName->text();
    openedRows_ = selectedRows();
    show();
    raise();
    activateWindow();
}

bool frmRepCust::hasChanges() const
{
    return txtRepName->text() != openedName_ || selectedRows() != openedRows_;
}

void frmRepCust::unload()
{
    hide();
}

void frmRepCust::Form_Load()
{
    cboTot->addItems({QStringLiteral("No"), QStringLiteral("Yes")});
    cboGrpSort->addItems({QStringLiteral("None"), QStringLiteral("Asc"), QStringLiteral("Desc")});
    cboGrpSort->setCurrentIndex(0);
    // Only the captions show.
    for (int c = 0; c < C::Cells; ++c) {
        if (c == C::Caption)
            continue;
        if (c < C::CatalogueCells)
            VSAval->setColWidth(c, 0);
        VSSelectedFld->setColWidth(c, 0);
    }
    loadCatalogue();
    LoadCustFld();
}

void frmRepCust::SSTab1_Click()
{
    // An open editor hands its value to its own cell as it closes.
    for (QWidget *editor : {static_cast<QWidget *>(txtWidth), static_cast<QWidget *>(cboGrpSort),
                            static_cast<QWidget *>(cboTot)})
        editor->hide();
    switch (SSTab1->tab()) {
    case 0:
        cmdBack->setEnabled(false);
        cmdNext->setEnabled(true);
        app::setTwipsTop(VSSelectedFld, 1300);
        app::setTwipsLeft(VSSelectedFld, 5300);
        app::setTwipsWidth(VSSelectedFld, 3700);
        VSAval->show();
        VSSelectedFld->show();
        app::setTwipsTop(VSAval, 1300);
        app::setTwipsLeft(VSAval, 360);
        for (int c = C::Grouping; c <= C::GrandTotal; ++c)
            VSSelectedFld->setColWidth(c, 0);
        VSAval->setFocus();
        break;
    case 1:
        if (VSSelectedFld->rows() == 1) {
            app::MsgBox(QStringLiteral("Please Select Column to Include"));
            SSTab1->setTab(0);
            cmdBack->setEnabled(false);
            cmdAdd->setFocus();
            return;
        }
        VSAval->hide();
        app::setTwipsLeft(VSSelectedFld, app::twipsLeft(VSAval));
        cmdNext->setEnabled(true);
        cmdBack->setEnabled(true);
        app::setTwipsWidth(VSSelectedFld, app::twipsWidth(SSTab1) - 1000);
        VSSelectedFld->setColWidth(C::Width, 800);
        VSSelectedFld->setColWidth(C::Decimal, 800);
        for (int c = C::Grouping; c <= C::GrandTotal; ++c)
            VSSelectedFld->setColWidth(c, 1000);
        VSSelectedFld->show();
        VSSelectedFld->setFocus();
        break;
    default:
        // The last page: the preview covers the column grids, which would otherwise still take
        // the keys of a user who cannot see them.
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(false);
        VSAval->hide();
        VSSelectedFld->hide();
        break;
    }
}

void frmRepCust::cmdNext_Click()
{
    if (SSTab1->tab() < SSTab1->count() - 1)
        SSTab1->setTab(SSTab1->tab() + 1);
}

void frmRepCust::cmdBack_Click()
{
    if (SSTab1->tab() > 0)
        SSTab1->setTab(SSTab1->tab() - 1);
}

void frmRepCust::cmdCancel_Click()
{
    unload();
}

void frmRepCust::txtRepName_GotFocus()
{
    const int start = txtRepName->hasSelectedText() ? txtRepName->selectionStart() : txtRepName->cursorPosition();
    txtRepName->setSelection(start, txtRepName->text().size());
}

bool frmRepCust::ValidateReport()
{
    const QString name = txtRepName->text().trimmed();
    if (name.isEmpty()) {
        app::MsgBox(QStringLiteral("Please Specify Name for Report"), app::Buttons::OkOnly, app::Icon::Critical);
        SSTab1->setTab(0);
        txtRepName->setFocus();
        return false;
    }
    if (VSSelectedFld->rows() <= 1) {
        app::MsgBox(QStringLiteral("You Must Add One Column Atleast to Report"), app::Buttons::OkOnly,
                    app::Icon::Critical);
        SSTab1->setTab(0);
        cmdAdd->setFocus();
        return false;
    }
    if (txtRepName->tag.trimmed().toLower() == name.toLower())
        return true;
    bool taken = false;
    if (!app::withErrorBox([&] { taken = reportNameTaken(app::YearDb(), name); }))
        return false;
    return !taken || refuseDuplicateName();
}

bool frmRepCust::refuseDuplicateName()
{
    app::MsgBox(QStringLiteral("Duplicate Report Name \"") + txtRepName->text() + QStringLiteral("\" Found"),
                app::Buttons::OkOnly, app::Icon::Information);
    SSTab1->setTab(0);
    txtRepName->setFocus();
    return false;
}
