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

namespace {

template <class W>
W *control(QWidget *parent, const char *name)
{
    return app::named(new W(parent), name);
}

} // namespace

// Each load starts from freshly made controls, so nothing typed before an unload survives it.
void frmCustFld::Load()
{
    qDeleteAll(findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    setWindowTitle(QStringLiteral("Custom Column"));
    // Made in tab order.
    txtColName = control<QLineEdit>(this, "txtColName");
    txtFormula = control<QPlainTextEdit>(this, "txtFormula");
    txtFormula->setTabChangesFocus(true);
    cboType = control<QComboBox>(this, "cboType");
    cmdOK = control<QPushButton>(this, "cmdOK");
    cmdOK->setText(QStringLiteral("&OK"));
    cmdOK->setDefault(true);
    cmdCancel = control<QPushButton>(this, "cmdCancel");
    cmdCancel->setText(QStringLiteral("&Cancel"));
    Label1 = control<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("Column Name :"));
    Label2 = control<QLabel>(this, "Label2");
    Label2->setText(QStringLiteral("Column Fomula :"));
    Label3 = control<QLabel>(this, "Label3");
    Label3->setText(QStringLiteral("Column Type"));

    app::setTwipsGeometry(Label1, 120, 360, 1275, 375);
    app::setTwipsGeometry(Label2, 120, 1200, 1275, 375);
    app::setTwipsGeometry(Label3, 120, 2520, 1275, 375);
    app::setTwipsGeometry(txtColName, 1440, 360, 3495, 375);
    app::setTwipsGeometry(txtFormula, 1440, 1200, 3495, 1245);
    // The combo keeps its own height.
    app::setTwipsGeometry(cboType, 1440, 2520, 1185, app::pixelsToTwips(cboType->sizeHint().height()));
    app::setTwipsGeometry(cmdOK, 5280, 360, 1215, 375);
    app::setTwipsGeometry(cmdCancel, 5280, 810, 1215, 375);
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
    for (bool overwrite = false;; overwrite = true) {
        app::SaveResult result{};
        if (!app::withErrorBox([&] {
                result = storeCustomColumn(app::YearDb(), StrCode_, column, app::settings().ReportFamily,
                                           column_ ? &*column_ : nullptr, overwrite);
            }))
            return;
        if (result == app::SaveResult::Saved) {
            stored_ = StrCode_;
            return Unload();
        }
        const bool deleted = result == app::SaveResult::DeletedElsewhere;
        if (!app::keepMineOverOther(deleted)) {
            if (deleted || !fillFrom(StrCode_))
                Unload();
            return;
        }
    }
}

void frmCustFld::cmdCancel_Click()
{
    Unload();
}

void frmCustFld::reject()
{
    cmdCancel_Click();
}
