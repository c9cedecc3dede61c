#include "ui/list/Form1.h"
#include "app/Convert.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "data/DbError.h"
#include "ui/crosstab/CrossTabStore.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/ReportStore.h"
#include "ui/wizard/frmRepCust.h"
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

// The definitions listed: their columns, table and order. Reload reads only the ordered row ids
// (the name's index holds them, so no table page is decrypted); a row's cells are read by id when
// the grid first needs them.
struct ListQuery {
    QStringList columns;
    QString table;
    QString orderBy;

    QString keys() const { return "Select rowid From " + table + " Order By " + orderBy; }
    QString keyOf() const { return "Select rowid From " + table + " Where " + columns[0] + "=?"; }
    QString row() const { return "Select " + columns.join(',') + " From " + table + " Where rowid=?"; }
};

const ListQuery CrossTabQuery{{"Col99", "ColRepName", "ColRepDesc"}, "ZoCTR", "ColRepName"};
const ListQuery TabularQuery{{"ColCode", "ColReportName"}, "CrMain", "ColReportName"};
const QString CrossTabFormat = QStringLiteral(
    "RepRecNo    |<Report Name                            |<Report Desc.              ");
const QString TabularFormat = QStringLiteral("RepRecNo    |<Report Name                            ");
// While another program locks the file the list waits this long, then tries again this often.
constexpr int ListWaitMs = 200;
constexpr int RetryMs = 1000;

} // namespace

Form1 &Form1::instance()
{
    static Form1 *form = new Form1;
    return *form;
}

Form1::Form1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Report"));
    setFont(QFont(QStringLiteral("Arial")));
    resize(app::twipsToPixels(9600), app::twipsToPixels(6000));

    vfg = app::named(new Grid(this), "vfg");
    Frame1 = app::named(new QGroupBox(this), "Frame1");
    cmdAdd = app::named(new QPushButton(QStringLiteral("&Add"), Frame1), "cmdAdd");
    cmdModify = app::named(new QPushButton(QStringLiteral("&Modify"), Frame1), "cmdModify");
    cmdDelete = app::named(new QPushButton(QStringLiteral("&Delete"), Frame1), "cmdDelete");
    cmdClose = app::named(new QPushButton(QStringLiteral("&Close"), Frame1), "cmdClose");

    auto *buttons = new QHBoxLayout(Frame1);
    for (QPushButton *b : {cmdAdd, cmdModify, cmdDelete, cmdClose})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(vfg, 1);
    layout->addWidget(Frame1);

    connect(cmdAdd, &QPushButton::clicked, this, &Form1::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &Form1::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &Form1::cmdDelete_Click);
    connect(cmdClose, &QPushButton::clicked, this, &Form1::cmdClose_Click);
    connect(vfg, &Grid::keyPressed, this, &Form1::vfg_KeyPress);
    retry_.setSingleShot(true);
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] {
        // Not behind a modal window: its reload waits for the window to close.
        if (QApplication::activeModalWidget())
            retry_.start();
        else if (isVisible())
            DataSelect();
    });

    Form_Load();
}

void Form1::Form_Load()
{
    setWindowTitle(QStringLiteral("Tabular Report Setting (01/01/2014)"));
    vfg->setListOption(1);
    DataSelect();
    // The list was read just now: the activation that follows the first show has nothing to add.
    loadedUnshown_ = true;
}

bool Form1::isCrossTab() const
{
    return app::settings().RunMode == QLatin1String("CTR");
}

bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        if (loadedUnshown_)
            loadedUnshown_ = false;
        else
            Form_Activate();
    }
    return QWidget::event(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    app::endProgram();
}

void Form1::Form_Activate()
{
    DataSelect();
}

void Form1::DataSelect()
{
    const ListQuery &query = isCrossTab() ? CrossTabQuery : TabularQuery;
    // The user's place: the definition just stored, else the current one, found again by its code.
    const QString code = stored_.isEmpty() ? currentCode() : std::exchange(stored_, QString());
    const int row = vfg->row();
    const bool onEmptyRow = row >= 1 && row == vfg->rows() - 1;
    QVector<qint64> keys;
    qint64 key = -1;
    try {
        data::BriefWait brief(app::YearDb(), ListWaitMs);
        app::YearDb().forEachRow(query.keys(), {}, [&](const QVector<QVariant> &values) {
            keys << values[0].toLongLong();
        });
        if (!code.isEmpty()) {
            const data::RowSet found = app::YearDb().select(query.keyOf(), {code});
            if (!found.rows.isEmpty())
                key = found.rows[0][0].toLongLong();
        }
    } catch (const data::DbError &e) {
        // Told once: each message box closing would activate the list and fail again. The old
        // list stays, and the reload is tried again until it succeeds.
        if (!std::exchange(reloadFailing_, true))
            app::ErrorBox(e.text());
        retry_.start();
        return;
    }
    reloadFailing_ = false;
    retry_.stop();
    vfg->bindKeys(query.columns, keys, [rowQuery = query.row()](qint64 key) {
        QStringList cells;
        // Read while painting: a failure here shows empty cells, the next reload reports it.
        try {
            data::BriefWait brief(app::YearDb(), ListWaitMs);
            const data::RowSet found = app::YearDb().select(rowQuery, {key});
            if (!found.rows.isEmpty())
                for (const QVariant &value : found.rows[0])
                    cells << app::textOf(value);
        } catch (const data::DbError &) {
        }
        return cells;
    });
    vfg->setFormatString(isCrossTab() ? CrossTabFormat : TabularFormat);
    vfg->setColWidth(0, 0);
    vfg->setRows(vfg->rows() + 1);
    const bool empty = vfg->rows() == 2;
    cmdModify->setEnabled(!empty);
    cmdDelete->setEnabled(!empty);
    const int at = keys.indexOf(key);
    if (at >= 0)
        vfg->setRow(at + 1);
    else if (onEmptyRow || row >= vfg->rows())
        vfg->setRow(vfg->rows() - 1);
    else
        vfg->setRow(qMax(1, row));
}

void Form1::definitionStored(const QString &code)
{
    stored_ = code;
}

void Form1::cmdAdd_Click()
{
    openDesigner(0, QString());
}

// The designer of the run mode; the definition it stores is made current at the next reload.
void Form1::openDesigner(int eType, const QString &code)
{
    if (isCrossTab()) {
        SelectionScreen &window = SelectionScreen::instance();
        connect(&window, &SelectionScreen::stored, this, &Form1::definitionStored, Qt::UniqueConnection);
        window.EntryType(eType, code);
    } else {
        frmRepCust &window = frmRepCust::instance();
        connect(&window, &frmRepCust::stored, this, &Form1::definitionStored, Qt::UniqueConnection);
        window.showForm(code);
    }
    Form_Activate();
}

QString Form1::currentCode() const
{
    return vfg->row() >= 1 ? vfg->textMatrix(vfg->row(), 0) : QString();
}

void Form1::cmdModify_Click()
{
    recNo_ = currentCode();
    openDesigner(1, recNo_);
}

void Form1::cmdDelete_Click()
{
    const QString code = currentCode();
    if (code.isEmpty()) {
        app::MsgBox(QStringLiteral("No Record To Delete "));
        vfg->setFocus();
        return;
    }
    if (app::MsgBox(QStringLiteral("Are You Sure This Record is Delete"), app::Buttons::YesNo, app::Icon::None,
                    QStringLiteral("Warnning"), app::Answer::No)
        != app::Answer::Yes)
        return;
    if (!app::withErrorBox([&] {
            if (isCrossTab())
                crosstab::deleteCrossTab(app::YearDb(), code);
            else
                deleteReport(app::YearDb(), code);
        }))
        return;
    // The row below takes the deleted one's place, and the user's.
    const int row = vfg->row();
    vfg->removeItem(row);
    vfg->setRow(row);
    vfg->setFocus();
}

void Form1::cmdClose_Click()
{
    app::endProgram();
}

void Form1::vfg_KeyPress(int &keyAscii)
{
    if (keyAscii != 13)
        return;
    recNo_ = currentCode();
    if (!recNo_.isEmpty())
        cmdModify_Click();
    else
        cmdAdd_Click();
}
