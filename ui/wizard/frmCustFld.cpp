#include "ui/wizard/frmCustFld.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "data/DbError.h"
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

void frmCustFld::fillFrom(const QString &code)
{
    const data::RowSet found = app::YearDb().select(
        QStringLiteral("Select FldName, CalString, FldDType From CRCustFld Where ColCode=?"), {code});
    if (found.rows.isEmpty())
        return;
    const auto &row = found.rows.first();
    txtColName->setText(row[0].toString());
    txtFormula->setPlainText(row[1].toString());
    const QString type = row[2].toString();
    cboType->setCurrentIndex(type == QLatin1String("N") ? 0 : type == QLatin1String("C") ? 1 : 2);
}

QString frmCustFld::showForm(const QString &StrCode)
{
    stored_.clear();
    if (!loaded_)
        Load();
    StrCode_ = StrCode;
    try {
        fillFrom(StrCode);
    } catch (const data::DbError &e) {
        app::ErrorBox(e.text());
        Unload();
        return {};
    }
    exec();
    return stored_;
}

void frmCustFld::cmdOK_Click()
{
    const QString name = txtColName->text();
    const QString formula = txtFormula->toPlainText();
    if (name.trimmed().isEmpty() || formula.trimmed().isEmpty()) {
        app::MsgBox(QStringLiteral("Please Enter Column Name and Formula Both "), app::Buttons::OkOnly,
                    app::Icon::Information);
        return;
    }
    const QString type = cboType->currentText().left(1);
    const QString family = app::settings().ReportFamily;
    try {
        data::Connection &db = app::YearDb();
        const QString error = expressionError(db, formula, app::settings().SourceFrom);
        if (!error.isEmpty()
            && !storeDespite(QStringLiteral("The formula cannot run on this year's data:\n") + error,
                             QStringLiteral("Store the column anyway?")))
            return;
        const bool exists =
            !db.select(QStringLiteral("Select ColCode From CRCustFld Where ColCode=?"), {StrCode_}).rows.isEmpty();
        // The number is taken before the write and stays used if the write fails.
        const QString code = exists ? StrCode_ : QStringLiteral("CF-") + QString::number(app::GetRecNo(QStringLiteral("MRN")));
        data::Transaction tx(db);
        if (exists)
            db.execute(QStringLiteral("Update CRCustFld Set FldName=?, CalString=?, MCode=?, FldDType=? Where ColCode=?"),
                       {name, formula, family, type, code});
        else
            db.execute(QStringLiteral("Insert Into CRCustFld (ColCode, FldName, CalString, MCode, FldDType) "
                                      "Values (?,?,?,?,?)"),
                       {code, name, formula, family, type});
        tx.commit();
        stored_ = code;
    } catch (const data::DbError &e) {
        app::ErrorBox(e.text());
        return;
    }
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
