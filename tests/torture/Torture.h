#pragma once
#include <QProcess>
#include <QString>

// The torture starts itself as the programs it tortures: "--child-MODE ROOT ..." runs one mode on
// year 1 of firm 1 under ROOT. Each mode lives beside the test that starts it and reports through
// its standard output. The rounds come from TORTURE_KILLS, TORTURE_NUMBERS and TORTURE_PAIRS when
// set (fewer under the sanitizers).
namespace torture {

void saveUntilKilled(quint32 seed);
void takeNumbers(int count);
void holdLock(const QString &file, int ms);
// Says "ready", waits for a line on standard input, so that two programs save together, and says
// the code stored or "refused" and the save's result.
void addAtOnce(int kind, const QString &name);
// Opens definition `code` (0 a cross-tab, 1 a tabular report), says "loaded", waits for a line and
// saves its own change over whatever is stored by then.
void editAfterOpen(int kind, QString code);

void startChild(QProcess &child, const QStringList &arguments);
// One write per line: a kill never leaves half a line behind.
void say(const QString &line);
[[noreturn]] void die(const QString &why);

inline int rounds(const char *variable, int otherwise)
{
    return qEnvironmentVariableIsSet(variable) ? qEnvironmentVariableIntValue(variable) : otherwise;
}

} // namespace torture
