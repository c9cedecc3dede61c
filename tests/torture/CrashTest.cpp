#include "app/Module1.h"
#include "support/TestRoot.h"
#include "tests/torture/Children.h"
#include "tests/torture/Definitions.h"
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/wait.h>

namespace {

using torture::Kind;
using torture::Stored;

struct Save {
    int kind = -1, key = 0, version = 0;
};

// What the log says: the versions whose saves ended, and the save under way when the child died.
struct Expected {
    QMap<int, int> committed[2];
    Save pending;

    void read(const QByteArray &lines)
    {
        for (const QByteArray &line : lines.split('\n')) {
            const QList<QByteArray> w = line.split(' ');
            if (w.size() != 4)
                continue;
            const Save s{w[1].toInt(), w[2].toInt(), w[3].toInt()};
            if (w[0] == "begin") {
                pending = s;
            } else {
                committed[s.kind][s.key] = s.version;
                pending = Save();
            }
        }
    }
};

QString integrity(data::Connection &db)
{
    const QString result = db.select(QStringLiteral("PRAGMA integrity_check")).rows.value(0).value(0).toString();
    return result == QLatin1String("ok") ? QString() : QStringLiteral("integrity: ") + result;
}

// Each definition exactly its old or its new version, every number used once.
QStringList verify(TestRoot &root, Expected &expected)
{
    QStringList faults;
    for (data::Connection *db : {&root.year(), &root.firm()})
        if (const QString f = integrity(*db); !f.isEmpty())
            faults << f;
    QSet<int> numbers;
    const int counter = root.counter(QStringLiteral("OTH"));
    for (int kind : {0, 1}) {
        const QString prefix = kind == int(Kind::CrossTab) ? QStringLiteral("CTR") : QStringLiteral("CRF");
        QSet<int> keys;
        for (const Stored &s : torture::storedDefinitions(root.year(), Kind(kind))) {
            const QString where = QStringLiteral("%1 (%2 key %3 v%4)").arg(s.code, prefix).arg(s.key).arg(s.version);
            const int number = s.code.mid(3).toInt();
            if (!s.code.startsWith(prefix) || numbers.contains(number) || number >= counter)
                faults << QStringLiteral("record number reused or never handed out: ") + where;
            numbers << number;
            if (s.key < 1 || keys.contains(s.key)) {
                faults << QStringLiteral("broken or doubled definition: ") + where;
                continue;
            }
            keys << s.key;
            const Save &p = expected.pending;
            const bool isNew = p.kind == kind && p.key == s.key && p.version == s.version;
            const auto old = expected.committed[kind].find(s.key);
            if (!isNew && (old == expected.committed[kind].end() || *old != s.version))
                faults << QStringLiteral("a version that was never saved whole: ") + where;
            if (const QString f = torture::checkStored(root.year(), Kind(kind), s); !f.isEmpty())
                faults << f;
            expected.committed[kind][s.key] = s.version;
        }
        for (auto it = expected.committed[kind].cbegin(); it != expected.committed[kind].cend(); ++it)
            if (!keys.contains(it.key()))
                faults << QStringLiteral("definition lost: %1 key %2").arg(prefix).arg(it.key());
    }
    const int orphans = root.value(QStringLiteral(
        "Select count(*) From CrChild Where ColCode Not In (Select ColCode From CrMain)")).toInt();
    if (orphans)
        faults << QStringLiteral("%1 column rows without their report").arg(orphans);
    expected.pending = Save();
    return faults;
}

} // namespace

// A program saving definitions is killed at random moments; after each kill both files are sound
// and every definition is whole, either as it was or as it was being saved.
TEST(CrashConsistency, EveryDefinitionIsOldOrNewAfterEachKill)
{
    TestRoot root(TestRoot::Empty);
    const int kills = torture::scaled("TORTURE_KILLS", 200);
    const QString logPath = root.path() + QStringLiteral("/saves.log");
    QRandomGenerator rng(20240611);
    Expected expected;
    qint64 logRead = 0;
    int midSave = 0, saves = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kills; ++i) {
        QFile log(logPath);
        const pid_t pid = torture::startChild(
            {QStringLiteral("--child-saves"), root.path(), logPath, QString::number(rng.generate())});
        ASSERT_GT(pid, 0);
        // Killed once it has started saving: somewhere in a save or between two.
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            if (log.open(QIODevice::ReadOnly)) {
                log.seek(logRead);
                const bool ready = log.readAll().contains("ready\n");
                log.close();
                if (ready)
                    break;
            }
            ASSERT_LT(waited.elapsed(), 60000) << "the child never started";
            ASSERT_EQ(torture::waitChild(pid, 1), -1) << "the child ended before it was killed";
        }
        QThread::usleep(rng.bounded(250000));
        ASSERT_EQ(torture::waitChild(pid, 0), -1) << "the child ended before it was killed";
        ::kill(pid, SIGKILL);
        const int status = torture::waitChild(pid, 30000);
        ASSERT_TRUE(WIFSIGNALED(status)) << status;

        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        log.seek(logRead);
        const QByteArray lines = log.readAll();
        logRead += lines.size();
        log.close();
        saves += lines.count("end ");
        expected.read(lines);
        if (expected.pending.kind >= 0)
            ++midSave;
        const QStringList faults = verify(root, expected);
        ASSERT_TRUE(faults.isEmpty()) << "after kill " << i + 1 << ":\n" << faults.join('\n').toStdString();
    }
    std::printf("%d kills, %d of them during a save; %d saves completed, %lld ms\n", kills, midSave, saves,
                timer.elapsed());
    EXPECT_GT(midSave, kills / 2) << "too few kills landed inside a save";
    EXPECT_GT(root.value(QStringLiteral("Select max(n) From (Select count(*) n From CrChild Group By ColCode)")).toInt(),
              150)
        << "the widest reports were never saved";
}
