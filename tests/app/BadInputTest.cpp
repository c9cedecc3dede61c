#include "app/Module1.h"
#include "app/Paths.h"
#include "support/FakeMessages.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "tools/demo/DemoData.h"
#include "ui/crosstab/TextBox.h"
#include "ui/list/Form1.h"
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every data file below a folder with its size, modification time and contents' hash.
QStringList snapshot(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QLatin1String("/Rpt/")))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files << QStringLiteral("%1 %2 %3 %4")
                     .arg(path)
                     .arg(QFileInfo(path).size())
                     .arg(QFileInfo(path).lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex()));
    }
    files.sort();
    return files;
}

// The real program in a folder below a data root that holds firm 5, year 2.
class BadInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(root.path()).mkpath("Rpt"));
        ASSERT_TRUE(QFile::copy(DESIGNER_EXE, root.path() + "/Rpt/designer"));
        demo::makeDemoData(root.path(), 5, 2);
    }
    QString yearFile(int firm = 5, int year = 2) const { return app::yearDbBase(root.path(), firm, year) + ".db"; }

    // Runs the program; the exit code, or -1000 when it is still running with its list.
    int run(const QStringList &args, QString *errors)
    {
        QProcess p;
        p.setEnvironment(QProcess::systemEnvironment() << "QT_QPA_PLATFORM=offscreen");
        p.start(root.path() + "/Rpt/designer", args);
        const bool ended = p.waitForFinished(15000);
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
        if (!ended) {
            p.kill();
            p.waitForFinished();
            return -1000;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2000;
    }
    // Refused with a message naming `expected`, and not one byte written.
    void expectRefused(const QStringList &args, const QString &expected)
    {
        const QStringList before = snapshot(root.path());
        QString errors;
        const std::string shown = args.join(' ').left(60).toStdString();
        EXPECT_EQ(run(args, &errors), 2) << shown << "\n" << errors.toStdString();
        EXPECT_TRUE(errors.contains("designer: ") && errors.contains(expected))
            << shown << "\n" << errors.left(300).toStdString();
        EXPECT_EQ(snapshot(root.path()), before) << shown;
    }
    QTemporaryDir root;
};

} // namespace

TEST_F(BadInput, CommandLinesThatNameNoFirmAndYearAreRefused)
{
    const QString usage = "FIRM,YEAR (for example: designer 5,2)";
    const QList<QStringList> lines = {
        {}, {""}, {"   "}, {"5"}, {"5,"}, {",2"}, {","}, {"a,b"}, {"5,x"}, {"x,2"}, {"5;2"}, {"5 2"},
        {"5,,2"}, {"40000,1"}, {"5,40000"}, {"32768,2"}, {"32767.5,2"}, {"-1,2"}, {"5,-2"}, {"0x5,2"},
        {"5,2e"}, {"nan,2"}, {"inf,2"}, {"1e9,2"}, {"5,2 extra"}, {"5,", "2", "x"},
        {QString::fromUtf8("\u0665,\u0662")},        // Arabic-Indic digits
        {QString::fromUtf8("\uff15,\uff12")},        // full-width digits
        {QString(100000, '7') + ",2"},              // very long
        {QString(50000, 'x') + "," + QString(50000, 'y')},
        {"--verbose", "5,2"}, {"--run-mode=OTHER", "5,2"}, {"--run-mode=wizard", "5,2"}, {"--", "5,2"},
        {"--run-mode", "5,2"}};
    for (const QStringList &args : lines)
        expectRefused(args, usage);
}

TEST_F(BadInput, FilesThatCannotBeOpenedAreRefusedUntouched)
{
    // 5.5 rounds half to even: firm 6, whose files are missing.
    expectRefused({"5.5,2.5"}, "Firm6/Yr2/Corvane2.db");
    expectRefused({"5,3"}, "Cannot open the year database " + app::yearDbBase(root.path(), 5, 3) + ".db");

    // Once firm 6 exists the same line starts.
    demo::makeDemoData(root.path(), 6, 2);
    QString errors;
    EXPECT_EQ(run({"5.5,2.5"}, &errors), -1000) << errors.toStdString();

    const auto replaceYear = [&](const QByteArray &bytes) {
        QFile file(yearFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    replaceYear(QByteArray());
    expectRefused({"5,2"}, "no table ZoCTR");
    QByteArray noise(65536, 0);
    QRandomGenerator rng(7);
    for (char &c : noise)
        c = char(rng.bounded(256));
    replaceYear(noise);
    expectRefused({"5,2"}, "Cannot open the year database");
    QFile::remove(yearFile());
    demo::createDatabase(yearFile(), "not the password", demo::schemaText("year"));
    expectRefused({"5,2"}, "Cannot open the year database");
    for (const QString table : {"CrMain", "ZoM35"}) {
        QFile::remove(yearFile());
        demo::createDatabase(yearFile(), app::YearPassword, demo::schemaText("year"))->execute("Drop Table " + table);
        expectRefused({"5,2"}, "The database has no table " + table);
    }
    QFile::remove(app::firmDbBase(root.path(), 6) + ".db");
    demo::createDatabase(app::firmDbBase(root.path(), 6) + ".db", app::FirmPassword, demo::schemaText("firm"))
        ->execute("Drop Table ZoF05");
    expectRefused({"6,2"}, "Cannot open the firm database");
}

namespace {

// Takes away the right to write a file for as long as it lives. Root writes to any file whatever
// its mode, so when the tests run as root they act as nobody meanwhile, as a user would.
class ReadOnly {
public:
    ReadOnly(const QString &root, const QString &file) : file_(file)
    {
        chmod(file.toLocal8Bit().constData(), 0444);
        if (geteuid() != 0)
            return;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        chown(root.toLocal8Bit().constData(), Nobody, Nobody);
        while (it.hasNext())
            chown(it.next().toLocal8Bit().constData(), Nobody, Nobody);
        asNobody_ = seteuid(Nobody) == 0;
    }
    ~ReadOnly()
    {
        if (asNobody_)
            seteuid(0);
        chmod(file_.toLocal8Bit().constData(), 0644);
    }

private:
    static constexpr uid_t Nobody = 65534;
    QString file_;
    bool asNobody_ = false;
};

} // namespace

// A year file the user may only read: the designer starts, a save fails with the engine's
// message, the window stays open and the file is unchanged.
TEST_F(BadInput, AReadOnlyYearFileStartsAndRefusesSaves)
{
    const QStringList before = snapshot(root.path() + "/Firm5/Yr2");
    {
        ReadOnly readOnly(root.path(), yearFile());
        FakeMessages::instance().clear();
        ASSERT_EQ(app::Main({"5,2"}, root.path() + "/Rpt"), 0);
        EXPECT_TRUE(Form1::instance().isVisible());
        DesignerScript d;
        const bool ok = d.entry(1, "CTR2", [&](SelectionScreen &s) {
            s.txtReportDesc->setText("Changed");
            save();
            EXPECT_EQ(FakeMessages::instance().prompts(), QStringList{"attempt to write a readonly database"});
            EXPECT_TRUE(s.isVisible());
            key(Qt::Key_Escape);
        });
        EXPECT_TRUE(ok) << d.script.failure().toStdString();
        Form1::instance().hide();
        app::settings().YearDb.reset();
        app::settings().FirmDb.reset();
    }
    EXPECT_EQ(snapshot(root.path() + "/Firm5/Yr2"), before);
}
