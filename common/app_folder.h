#pragma once

#include <QString>
#include <QStringList>

// The program folder with a trailing separator, created when it does not exist yet:
// - the folder given with "--folder DIR" (or "--folder=DIR");
// - otherwise the executable's folder when it is a portable copy's (see isPortableFolder);
// - otherwise the user's data folder (~/.local/share/<program>), as an installed program
//   cannot write next to its executable.
QString resolveProgramFolder(const QStringList& arguments);

// The decision of resolveProgramFolder apart from the file system: the chosen folder, absolute,
// without a trailing separator.
QString chooseProgramFolder(const QStringList& arguments, const QString& executableFolder,
                            bool executableFolderPortable, const QString& userDataFolder);

// True when a program running from folder keeps its files there: the folder is writable and is
// not one of the system's program folders under /usr (which only root can write to, and where
// files would be lost or clash with the package manager's).
bool isPortableFolder(const QString& folder);

// True when folder (as resolveProgramFolder gives it) is the user's data folder, i.e. the
// program runs installed and without --folder.
bool isUserDataFolder(const QString& folder);

// The arguments without the --folder option and its value.
QStringList withoutFolderOption(const QStringList& arguments);
