#pragma once
#include <QString>
#include <QStringList>

namespace app {

struct CommandLine {
    int firmNo = 0;
    int yearNo = 0;
    QString runMode = QStringLiteral("CTR");
    QString server; // the libpq conninfo or URI of --server=; empty for the files
    QString error; // empty when the command line is usable
};

// The arguments after the program name. Options ("--run-mode=WIZARD", "--server=...") are taken
// out first; the rest, joined by single blanks, is the "firm,year" text.
CommandLine parseCommandLine(const QStringList &arguments);

QString usageText();

} // namespace app
