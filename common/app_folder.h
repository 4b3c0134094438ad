#pragma once

#include <QString>
#include <QStringList>

// The program folder with a trailing separator: the folder given with "--folder DIR"
// (or "--folder=DIR"), otherwise the folder of the executable. The folder is created
// when it does not exist yet.
QString resolveProgramFolder(const QStringList& arguments);

// The arguments without the --folder option and its value.
QStringList withoutFolderOption(const QStringList& arguments);
