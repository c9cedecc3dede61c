#include "ui/wizard/frmCustFld.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "ui/wizard/CustomColumnStore.h"
#include "ui/wizard/FormulaCheck.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

frmCustFld &frmCustFld::instance()
{
    static frmCustFld *window = new frmCustFld;
    return *window;
}

frmCustFld::frmCustFld()
{
    setObjectName(QStringLiteral("frmCustFld"));
    setModal(true);
    setFixedSize(app::twipsToPixels(6750), app::twipsToPixels(3870));
}

// Each load starts from freshly made controls, so nothing typed before an unload survives it.
void frmCustFld::Load()
{
    app::unloadControls(this);
    setWindowTitle(QStringLiteral("Custom Column"));
    // Made in tab order.
    txtColName = app::place(new QLineEdit(this), "txtColName", 1440, 360, 3495, 375);
    txtFormula = app::place(new QPlainTextEdit(this), "txtFormula", 1440, 1200, 3495, 1245);
    txtFormula->setTabChangesFocus(true);
    auto *type = new QComboBox(this);
    // The combo keeps its own height.
    cboType = app::place(type, "cboType", 1440, 2520, 1185, app::pixelsToTwips(type->sizeHint().height()));
    cmdOK = app::place(new QPushButton(QStringLiteral("&OK"), this), "cmdOK", 5280, 360, 1215, 375);
    cmdOK->setDefault(true);
    cmdCancel = app::place(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel", 5280, 810, 1215, 375);
    Label1 = app::place(new QLabel(QStringLiteral("Column Name :"), this), "Label1", 120, 360, 1275, 375);
    Label2 = app::place(new QLabel(QStringLiteral("Column Fomula :"), this), "Label2", 120, 1200, 1275, 375);
    Label3 = app::place(new QLabel(QStringLiteral("Column Type"), this), "Label3", 120, 2520, 1275, 375);
    txtColName->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmCustFld::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCustFld::cmdCancel_Click);
    Form_Load();
    loaded_ = true;
}

void frmCustFld::Unload()
{
    hide();
    loaded_ = false;
}

void frmCustFld::Form_Load()
{
    cboType->addItems({QStringLiteral("Numeric"), QStringLiteral("Charactor"), QStringLiteral("Date")});
    cboType->setCurrentIndex(0);
}

bool frmCustFld::fillFrom(const QString &code)
{
    std::optional<LoadedCustomColumn> found;
    if (!app::withErrorBox([&] { found = loadCustomColumn(app::YearDb(), code); }))
        return false;
    column_ = std::move(found);
    if (!column_)
        return true;
    txtColName->setText(column_->column.name);
    txtFormula->setPlainText(column_->column.formula);
    const QString &type = column_->column.type;
    cboType->setCurrentIndex(type == QLatin1String("N") ? 0 : type == QLatin1String("C") ? 1 : 2);
    return true;
}

QString frmCustFld::showForm(const QString &StrCode)
{
    stored_.clear();
    if (!loaded_)
        Load();
    StrCode_ = StrCode;
    if (fillFrom(StrCode))
        exec();
    else
        Unload();
    return stored_;
}

void frmCustFld::cmdOK_Click()
{
    const CustomColumn column{txtColName->text(), txtFormula->toPlainText(), cboType->currentText().left(1)};
    if (column.name.trimmed().isEmpty() || column.formula.trimmed().isEmpty()) {
        app::MsgBox(QStringLiteral("Please Enter Column Name and Formula Both "), app::Buttons::OkOnly,
                    app::Icon::Information);
        return;
    }
    const QString refusal = aggregateRefusal(column.formula);
    if (!refusal.isEmpty()) {
        app::MsgBox(refusal, app::Buttons::OkOnly, app::Icon::Exclamation);
        return;
    }
    const app::Settings &s = app::settings();
    const QString error =
        formulaError(app::yearConnection(s), column.formula, s.SourceFrom);
    if (!error.isEmpty()
        && !storeDespite(QStringLiteral("The formula cannot run on this year's data:\n") + error,
                         QStringLiteral("Store the column anyway?")))
        return;
    const std::optional<app::SaveResult> result = app::saveAsking([&](bool overwrite) {
        return storeCustomColumn(app::YearDb(), StrCode_, column, app::settings().ReportFamily,
                                 column_ ? &*column_ : nullptr, overwrite);
    });
    if (result == app::SaveResult::Saved)
        stored_ = StrCode_;
    if (result == app::SaveResult::Saved || result == app::SaveResult::DeletedElsewhere
        || (result == app::SaveResult::ChangedElsewhere && !fillFrom(StrCode_)))
        Unload();
}

void frmCustFld::cmdCancel_Click()
{
    Unload();
}

void frmCustFld::reject()
{
    cmdCancel_Click();
}
