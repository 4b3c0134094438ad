#pragma once
// The command-line commands of selvanor. Each takes the program folder and the arguments
// after the command name, prints what the window would show, and returns the exit status.

#include <QString>
#include <QStringList>

int runInit(const QString& folder, const QStringList& args);
// "terminal add --name N --type ethernet|com|usb --ip A --port P --number N --password P
// [--com-port X]" and "terminal list".
int runTerminal(const QString& folder, const QStringList& args);
int runCollect(const QString& folder, const QStringList& args);
int runConvert(const QString& folder, const QStringList& args);
int runClock(const QString& folder, const QStringList& args);
int runBells(const QString& folder, const QStringList& args);
int runBackup(const QString& folder, const QStringList& args);
int runRestore(const QString& folder, const QStringList& args);
// "import OLD_FOLDER": the terminals of OLD_FOLDER/Data.mdb and its Settings.ini keys.
int runImport(const QString& folder, const QStringList& args);
