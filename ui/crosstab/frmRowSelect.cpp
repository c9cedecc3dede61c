#include "ui/crosstab/frmRowSelect.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "ui/crosstab/Catalogues.h"
#include "ui/grid/Grid.h"
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString AllUserFields = QStringLiteral("Select Distinct(Col99) , Col98 From ZoM35 Order By Col98 ");
const QString UserValueFields =
    QStringLiteral("Select Distinct(Col99) , Col98 From ZoM35 Where Col95 ='M'  And Col96 ='N'   ");

} // namespace

frmRowSelect::frmRowSelect(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmRowSelect"));
    setWindowTitle(QStringLiteral("Select Data"));
    setFont(QFont(QStringLiteral("Arial")));
    setFixedSize(app::twipsToPixels(5925), app::twipsToPixels(5220));

    vfg = app::place(new Grid(this), "vfg", 45, 45, 4785, 4650);
    vfg->setFormatString(QStringLiteral("Name") + QString(57, QLatin1Char(' ')) + QStringLiteral("|Field "));
    vfg->setTypeAheadColumn(0);
    cmdOK = app::place(new QPushButton(QStringLiteral("&Ok"), this), "cmdOK", 4860, 45, 1000, 400);
    setTabOrder(vfg, cmdOK);

    connect(cmdOK, &QPushButton::clicked, this, &frmRowSelect::cmdOK_Click);
    connect(vfg, &Grid::keyPressed, this, &frmRowSelect::vfg_KeyPress);
}

// Esc, the window's close box and Enter all end in a hide: whatever row is current is the choice.
void frmRowSelect::cmdOK_Click()
{
    hide();
}

void frmRowSelect::vfg_KeyPress(int &keyAscii)
{
    if (keyAscii == 13)
        cmdOK_Click();
}

QString frmRowSelect::RowSelectData(const QString &SelType, QLineEdit *txtSelectName, const QString &ColField)
{
    using Fill = void (frmRowSelect::*)();
    const QList<QPair<QString, Fill>> fills = {
        {QStringLiteral("RC0"), &frmRowSelect::FillGridRC0}, {QStringLiteral("RC1"), &frmRowSelect::FillGridRC1},
        {QStringLiteral("RC2"), &frmRowSelect::FillGridRC2}, {QStringLiteral("D0"), &frmRowSelect::FillGridD0},
        {QStringLiteral("D1"), &frmRowSelect::FillGridD1},   {QStringLiteral("D2"), &frmRowSelect::FillGridD2}};
    for (const auto &fill : fills) {
        if (SelType == fill.first) {
            (this->*fill.second)();
            break;
        }
    }
    vfg->setColWidth(1, 0);
    const int found = vfg->findRow(ColField, 1);
    vfg->setRow(found > 0 ? found : 1);
    move(app::twipsToPixels(5300), app::twipsToPixels(450));
    vfg->setFocus();
    exec();

    const int r = vfg->row();
    txtSelectName->setText(vfg->textMatrix(r, 0));
    return vfg->textMatrix(r, 1);
}

int frmRowSelect::fillFixed(const QString &slotCode)
{
    const QVector<crosstab::CatalogueEntry> entries = crosstab::fixedEntries(slotCode);
    vfg->setListOption(1);
    vfg->setRows(1);
    vfg->setRows(entries.size() + 1);
    vfg->setRedraw(false);
    int r = 0;
    for (const crosstab::CatalogueEntry &e : entries) {
        ++r;
        vfg->setTextMatrix(r, 0, e.caption);
        vfg->setTextMatrix(r, 1, e.expression);
    }
    vfg->setRedraw(true);
    return r;
}

int frmRowSelect::appendUserFields(int last, const QString &sql, const QString &expressionPrefix)
{
    // Read first, so that a failing read leaves the fixed entries as they are.
    QVector<QPair<QString, QString>> fields;
    if (!app::withErrorBox([&] {
            app::YearDb().forEachRow(sql, {}, [&](const QVector<QVariant> &row) {
                fields.append({row.value(1).toString(), expressionPrefix + row.value(0).toString()});
            });
        }))
        return last;
    vfg->setRows(last + fields.size() + 1);
    vfg->setRedraw(false);
    for (const auto &field : fields) {
        ++last;
        vfg->setTextMatrix(last, 0, field.first);
        vfg->setTextMatrix(last, 1, field.second);
    }
    vfg->setRedraw(true);
    return last;
}

void frmRowSelect::FillGridRC0()
{
    FillGridUF(fillFixed(QStringLiteral("RC0")));
}

void frmRowSelect::FillGridRC1() { fillFixed(QStringLiteral("RC1")); }
void frmRowSelect::FillGridRC2() { fillFixed(QStringLiteral("RC2")); }

// The value catalogue offers the user's amount fields of the voucher lines.
void frmRowSelect::FillGridD0()
{
    appendUserFields(fillFixed(QStringLiteral("D0")), UserValueFields, QStringLiteral("T52."));
}

void frmRowSelect::FillGridD1() { fillFixed(QStringLiteral("D1")); }
void frmRowSelect::FillGridD2() { fillFixed(QStringLiteral("D2")); }

void frmRowSelect::FillGridUF(int Cnt)
{
    // A field without a caption comes first, as the files sort it; a server has to be told.
    appendUserFields(Cnt, AllUserFields + (app::settings().Server.isEmpty() ? QString() : QStringLiteral("NULLS FIRST")),
                     QString());
}
