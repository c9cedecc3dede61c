#include "app/Module1.h"
#include "support/Definitions.h"
#include "support/TestRoot.h"
#include "tests/torture/Torture.h"
#include "ui/wizard/ReportStore.h"
#include <QRandomGenerator>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

enum Kind { CrossTab, Tabular };

// Version `version` of definition `key`. Every stored field derives from kind, key and version, so
// the name tells which version a stored row is, and the rest whether it is whole.
struct Definition {
    Kind kind;
    QString code; // empty before the first save
    int key, version;

    // "kind key version", as the saves log it.
    QString id() const { return QStringLiteral("%1 %2 %3").arg(int(kind)).arg(key).arg(version); }
    QString name() const { return QStringLiteral("Torture ") + id(); }
};

// A cross-tab's values as ZoCTR stores them after its code: name, description, the four field
// tags, the grouping flag, the four field captions, the report type.
QStringList crossTabFields(const Definition &d)
{
    const QString kv = QStringLiteral(" K%1V%2").arg(d.key).arg(d.version);
    QStringList f{d.name(), QStringLiteral("Description") + kv};
    for (const char *tag : {"ROW", "COL", "SUM", "GRP"})
        f << QLatin1String(tag) + kv;
    f << QString::number(d.version % 2);
    for (const char *caption : {"Row", "Column", "Shown", "Group"})
        f << QLatin1String(caption) + kv;
    return f << QString::number((d.key + d.version) % 3);
}

// Between 1 and 200 columns, in the twelve cells the wizard's selected grid holds.
QVector<SelectedColumn> tabularRows(const Definition &d)
{
    const auto pick = [](std::initializer_list<const char *> from, int n) {
        return QLatin1String(from.begin()[n % from.size()]);
    };
    QVector<SelectedColumn> rows;
    for (int i = 0; i < 1 + (d.key * 53 + d.version * 29) % 200; ++i) {
        const int v = i + d.version;
        rows << SelectedColumn({pick({"T51", "T52", "M02", "M20"}, i), QStringLiteral("Col%1").arg(90 + i % 10),
                            pick({"N", "C", "D"}, i), QStringLiteral("K%1 V%2 C%3").arg(d.key).arg(d.version).arg(i),
                            pick({"Right", "Left", "Left"}, i), QString::number(1000 + 10 * i),
                            i % 3 ? QString() : QString::number(v % 4),
                            i < 2 && d.version % 2 ? pick({"Asc", "Desc"}, i) : QLatin1String("None"),
                            pick({"None", "Asc", "Desc"}, v), pick({"Yes", "No", "No", "No"}, v),
                            pick({"No", "No", "No", "Yes"}, v), pick({"No", "No", "Yes", "No"}, v)});
    }
    return rows;
}

// The definitions in the year file, cross-tabs first, each kind in the order of its codes.
QVector<Definition> storedDefinitions(data::Connection &year)
{
    QVector<Definition> result;
    for (const QString &row : rowTexts(year, QStringLiteral("Select 0, Col99, ColRepName From ZoCTR Union All "
                                                            "Select 1, ColCode, ColReportName From CrMain Order By 1, 2"))) {
        const QStringList f = row.split(QRegularExpression(QStringLiteral("[| ]"))); // kind, code, name
        result.push_back({Kind(f[0].toInt()), f[1], f[4].toInt(), f[5].toInt()});
    }
    return result;
}

// As the definition window's or the wizard's Save stores it: a new one takes its number inside
// the save, a changed one replaces what was loaded.
void save(const Definition &d)
{
    data::Connection &year = app::YearDb();
    QString code = d.code;
    app::SaveResult result;
    if (d.kind == CrossTab) {
        const QStringList f = crossTabFields(d);
        const auto loaded = code.isEmpty() ? std::nullopt : crosstab::loadCrossTab(year, code);
        result = crosstab::saveCrossTab(year, code, {f[0], f[1], f[2], f[3], f[4], f[5], f[6].toInt(), f[7], f[8],
                                                     f[9], f[10], f[11].toInt()}, loaded ? &*loaded : nullptr);
    } else {
        const auto loaded = code.isEmpty() ? std::nullopt : loadReport(year, code);
        result = saveReport(year, code, d.name(), tabularRows(d), loaded ? &*loaded : nullptr);
    }
    if (result != app::SaveResult::Saved)
        torture::die(QStringLiteral("the save was refused"));
}

// What a whole save of the definition stores: its ZoCTR row, or its CrMain row and its CrChild rows.
QStringList storedRows(const Definition &d)
{
    if (d.kind == CrossTab)
        return {d.code + QLatin1Char('|') + crossTabFields(d).join(QLatin1Char('|'))};
    const QVector<SelectedColumn> rows = tabularRows(d);
    QStringList result{mainRow(d.code, d.name(), rows)};
    for (int i = 0; i < rows.size(); ++i)
        result << joined(childRow(d.code, rows[i], i + 1));
    return result;
}

// Both files sound (a server keeps its own); every definition as the ended saves left it, but for
// the one under way, which may also be whole in its new version; every number handed out once and
// below the counter. `saved` maps each "kind key" to the "kind key version" stored.
void verify(TestRoot &root, QMap<QString, QString> &saved, const QString &pending)
{
    for (data::Connection *db : {&root.year(), &root.firm()})
        EXPECT_EQ(testServer().isEmpty() ? rowTexts(*db, QStringLiteral("PRAGMA integrity_check")) : QStringList{"ok"},
                  QStringList{"ok"});
    const int counter = root.counter(QStringLiteral("OTH"));
    QStringList found, expected, children;
    QSet<int> numbers;
    for (const Definition &d : storedDefinitions(root.year())) {
        const int number = d.code.mid(3).toInt();
        EXPECT_TRUE(d.code == QLatin1String(d.kind == CrossTab ? "CTR" : "CRF") + QString::number(number)
                    && number < counter && !numbers.contains(number))
            << "a number reused or never handed out: " << d.code.toStdString();
        numbers << number;
        found << d.id();
        const QStringList rows = storedRows(d);
        expected << rows.first();
        children << rows.mid(1);
    }
    found.sort();
    QMap<QString, QString> withPending = saved;
    if (!pending.isEmpty())
        withPending[pending.section(QLatin1Char(' '), 0, 1)] = pending;
    EXPECT_TRUE(found == saved.values() || found == withPending.values())
        << "stored " << found.join(", ").toStdString() << "; saved " << saved.values().join(", ").toStdString();
    if (found == withPending.values())
        saved = withPending;
    const QStringList stored = root.rows(QStringLiteral("Select * From ZoCTR Order By Col99"))
        + root.rows(QStringLiteral("Select * From CrMain Order By ColCode"))
        + root.rows(QStringLiteral("Select * From CrChild Order By ColCode, ColSeq"));
    expected << children;
    const auto at = std::mismatch(stored.begin(), stored.end(), expected.begin(), expected.end()).first
        - stored.begin();
    EXPECT_EQ(stored.value(at).toStdString(), expected.value(at).toStdString())
        << "row " << at << " of " << stored.size() << " stored, " << expected.size() << " expected";
}

} // namespace

namespace torture {

// Saves cross-tab and tabular definitions at random until killed, saying "begin KIND KEY VERSION"
// before and "end ..." after each save.
void saveUntilKilled(quint32 seed)
{
    QRandomGenerator rng(seed);
    say(QStringLiteral("ready"));
    for (;;) {
        const Kind kind = Kind(rng.bounded(2));
        QVector<Definition> mine;
        int last = 0;
        for (const Definition &d : storedDefinitions(app::YearDb()))
            if (d.kind == kind) {
                mine << d;
                last = qMax(last, d.key);
            }
        Definition next{kind, QString(), last + 1, 1};
        if (!mine.isEmpty() && (mine.size() >= 40 || rng.bounded(3) != 0)) {
            next = mine[int(rng.bounded(mine.size()))];
            ++next.version;
        }
        say(QStringLiteral("begin ") + next.id());
        save(next);
        say(QStringLiteral("end ") + next.id());
    }
}

} // namespace torture

// A program saving definitions is killed at random moments; after each kill both files are sound
// and every definition is whole, either as it was or as it was being saved.
TEST(CrashConsistency, EveryDefinitionIsOldOrNewAfterEachKill)
{
    TestRoot root(TestRoot::Empty);
    const int kills = torture::rounds("TORTURE_KILLS", 200);
    QRandomGenerator rng(20240611);
    QMap<QString, QString> saved;
    int midSave = 0;
    for (int i = 0; i < kills; ++i) {
        QProcess child;
        torture::startChild(child, {QStringLiteral("--child-saves"), root.path(), QString::number(rng.generate())});
        // Killed once it has started saving: somewhere in a save or between two.
        ASSERT_TRUE(child.waitForReadyRead(60000)) << "the child never started";
        QThread::usleep(rng.bounded(250000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the child ended before it was killed";
        const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : lines)
            if (line.startsWith(QLatin1String("end ")))
                saved[line.section(QLatin1Char(' '), 1, 2)] = line.mid(4);
        const QString pending = lines.last().startsWith(QLatin1String("begin ")) ? lines.last().mid(6) : QString();
        midSave += !pending.isEmpty();
        verify(root, saved, pending);
        ASSERT_FALSE(HasFailure()) << "after kill " << i + 1;
    }
    std::printf("%d kills, %d of them during a save\n", kills, midSave);
    // How many land inside a save follows the machine's speed (about half, fewer under the
    // sanitizers, where reading the stored definitions between saves is slower).
    EXPECT_GT(midSave, kills / 3) << "too few kills landed inside a save";
    EXPECT_GT(root.value(QStringLiteral("Select count(*) From CrChild Group By ColCode Order By 1 Desc")).toInt(), 150)
        << "the widest reports were never saved";
}
