#pragma once
#include <QStringList>
#include <sys/types.h>

namespace torture {

// The torture's helper programs, started as this binary with a first argument naming the mode:
//   --child-saves ROOT LOG SEED    saves cross-tab and tabular definitions until killed, writing
//                                   "begin KIND KEY VERSION" before and "end ..." after each save
//   --child-numbers ROOT OUT COUNT  takes COUNT record numbers, one a line into OUT
//   --child-lock ROOT FILE MS       holds a write lock on the year or firm file for MS milliseconds,
//                                   writing "locked" into ROOT/lock.log once it has it
bool isChild(const QStringList &arguments);
int runChild(const QStringList &arguments);

// Starts this binary in a child mode; returns its process id.
pid_t startChild(const QStringList &arguments);
// The child's wait status once it has ended; -1 when it still runs after ms milliseconds.
int waitChild(pid_t pid, int ms);
// Waits up to ms milliseconds for a file to hold the line.
bool waitForLine(const QString &path, const QString &line, int ms);

// A count from the environment (reduced under the sanitizers), else the default.
int scaled(const char *variable, int normal);

} // namespace torture
