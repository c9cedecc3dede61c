#include "tests/torture/Children.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "data/DbError.h"
#include "support/FakeMessages.h"
#include "tests/torture/Definitions.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/TextBox.h"
#include "ui/wizard/ReportText.h"
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMap>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <vector>
#include <unistd.h>

namespace torture {

namespace {

constexpr int MaxDefinitions = 40;

[[noreturn]] void die(const QString &why)
{
    std::fprintf(stderr, "torture child: %s\n", qPrintable(why));
    std::fflush(stderr);
    _exit(3);
}

// One write() per line: a kill never leaves half a line behind.
class Log {
public:
    explicit Log(const QString &path) : fd_(::open(path.toLocal8Bit().constData(), O_WRONLY | O_APPEND | O_CREAT, 0644))
    {
        if (fd_ < 0)
            die(QStringLiteral("cannot open ") + path);
    }
    void line(const QString &text)
    {
        const QByteArray bytes = text.toUtf8() + '\n';
        if (::write(fd_, bytes.constData(), bytes.size()) != bytes.size())
            die(QStringLiteral("cannot write the log"));
    }

private:
    int fd_;
};

void openRun(const QString &root)
{
    app::Settings &s = app::settings();
    s.FirmNo = 1;
    s.YearNo = 1;
    s.DataRoot = root;
    s.YearDb = data::Connection::open(app::yearConnectionString(root, 1, 1));
    s.FirmDb = data::Connection::open(app::firmConnectionString(root, 1));
    app::setReportFamily(s, QStringLiteral("PWR"));
}

void fill(SelectionScreen &s, const CrossTab &c)
{
    s.txtReportName->setText(c.name);
    s.txtReportDesc->setText(c.desc);
    s.cboRepTyp->setCurrentIndex(c.repType);
    s.txtRowData->tag = c.rowTag;
    s.txtRowData->setText(c.rowText);
    s.txtColData->tag = c.colTag;
    s.txtColData->setText(c.colText);
    s.txtDispData->tag = c.dispTag;
    s.txtDispData->setText(c.dispText);
    s.chkGrouping->setChecked(c.grouping);
    s.txtGroupField->tag = c.groupTag;
    s.txtGroupField->setText(c.groupText);
}

// Through the window, as a user's Save does it.
QString saveCrossTab(int key, int version, const QString &code)
{
    SelectionScreen &s = SelectionScreen::instance();
    const CrossTab c = crossTab(key, version);
    QTimer::singleShot(0, &s, [&] {
        fill(s, c);
        s.cmdSave_Click();
        if (s.isVisible())
            die(QStringLiteral("the window refused the save: ") + FakeMessages::instance().prompts().join('/'));
    });
    s.EntryType(code.isEmpty() ? 0 : 1, code);
    if (!FakeMessages::instance().shown.isEmpty())
        die(FakeMessages::instance().prompts().join('/'));
    const auto rows = app::YearDb().select(QStringLiteral("Select Col99 From ZoCTR Where ColRepName=?"), {c.name});
    if (rows.rows.size() != 1)
        die(QStringLiteral("the saved cross-tab is not there"));
    return rows.rows[0][0].toString();
}

// The wizard's save: a new report takes its number first, then one transaction stores it.
QString saveTabular(int key, int version, const QString &code)
{
    const app::Settings &s = app::settings();
    const QString stored = code.isEmpty() ? QStringLiteral("CRF%1").arg(app::GetRecNo(QStringLiteral("OTH"))) : code;
    const QVector<QStringList> rows = tabularRows(key, version);
    storeReport(app::YearDb(), stored, !code.isEmpty(), tabularName(key, version), s.ReportFamily, rows,
                buildReportText(rows, s.ExtraSelect, s.SourceFrom));
    return stored;
}

int saveUntilKilled(const QString &root, const QString &logPath, quint32 seed)
{
    openRun(root);
    Log log(logPath);
    QMap<int, Stored> known[2];
    for (int kind : {0, 1})
        for (const Stored &s : storedDefinitions(app::YearDb(), Kind(kind)))
            if (s.key > 0)
                known[kind][s.key] = s;
    log.line(QStringLiteral("ready"));
    QRandomGenerator rng(seed);
    for (;;) {
        const int kind = int(rng.bounded(2));
        QMap<int, Stored> &defs = known[kind];
        const bool add = defs.isEmpty() || (defs.size() < MaxDefinitions && rng.bounded(3) == 0);
        Stored next;
        if (add) {
            next.key = defs.isEmpty() ? 1 : defs.lastKey() + 1;
            next.version = 1;
        } else {
            next = defs[defs.keys().at(int(rng.bounded(defs.size())))];
            ++next.version;
        }
        const QString what = QStringLiteral("%1 %2 %3").arg(kind).arg(next.key).arg(next.version);
        log.line(QStringLiteral("begin ") + what);
        next.code = kind == int(Kind::CrossTab) ? saveCrossTab(next.key, next.version, add ? QString() : next.code)
                                                : saveTabular(next.key, next.version, add ? QString() : next.code);
        log.line(QStringLiteral("end ") + what);
        defs[next.key] = next;
    }
}

int takeNumbers(const QString &root, const QString &outPath, int count)
{
    app::settings().FirmDb = data::Connection::open(app::firmConnectionString(root, 1));
    Log out(outPath);
    for (int i = 0; i < count; ++i)
        out.line(QString::number(app::GetRecNo(QStringLiteral("OTH"))));
    return 0;
}

int holdLock(const QString &root, const QString &file, int ms)
{
    auto db = data::Connection::open(file == QLatin1String("firm") ? app::firmConnectionString(root, 1)
                                                                   : app::yearConnectionString(root, 1, 1));
    db->beginImmediate();
    Log(root + QStringLiteral("/lock.log")).line(QStringLiteral("locked"));
    QThread::msleep(ms);
    db->rollback();
    return 0;
}

} // namespace

bool isChild(const QStringList &arguments)
{
    return arguments.size() > 1 && arguments[1].startsWith(QLatin1String("--child-"));
}

int runChild(const QStringList &a)
{
    try {
        if (a.size() == 5 && a[1] == QLatin1String("--child-saves"))
            return saveUntilKilled(a[2], a[3], a[4].toUInt());
        if (a.size() == 5 && a[1] == QLatin1String("--child-numbers"))
            return takeNumbers(a[2], a[3], a[4].toInt());
        if (a.size() == 5 && a[1] == QLatin1String("--child-lock"))
            return holdLock(a[2], a[3], a[4].toInt());
    } catch (const data::DbError &e) {
        die(e.text());
    }
    die(QStringLiteral("unknown mode ") + a.mid(1).join(' '));
}

pid_t startChild(const QStringList &arguments)
{
    QList<QByteArray> texts{QCoreApplication::applicationFilePath().toLocal8Bit()};
    for (const QString &a : arguments)
        texts << a.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &t : texts)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int waitChild(pid_t pid, int ms)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        if (timer.elapsed() > ms)
            return -1;
        QThread::msleep(2);
    }
}

bool waitForLine(const QString &path, const QString &line, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.readAll().split('\n').contains(line.toUtf8()))
            return true;
        QThread::msleep(2);
    }
    return false;
}

int scaled(const char *variable, int normal)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(variable, &ok);
    return ok && value > 0 ? value : normal;
}

} // namespace torture
