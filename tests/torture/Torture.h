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
// Opens definition `code` (0 a cross-tab, 1 a tabular report), or none for a new one named `text`,
// says "ready", waits for a line, so that two programs save together, and saves it, or its change
// `text` over whatever is stored by then; says the code stored, or "refused" and the save's result.
void saveAfterGo(int kind, QString code, const QString &text);

void startChild(QProcess &child, const QStringList &arguments);
// One write per line: a kill never leaves half a line behind.
void say(const QString &line);
[[noreturn]] void die(const QString &why);

inline int rounds(const char *variable, int otherwise)
{
    return qEnvironmentVariableIsSet(variable) ? qEnvironmentVariableIntValue(variable) : otherwise;
}

} // namespace torture
