#include "app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kFolder = QStringLiteral("--folder");
const QString kFolderEq = QStringLiteral("--folder=");

// The value of the last --folder option; empty when there is none.
QString folderOption(const QStringList& arguments) {
    QString folder;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == kFolder && i + 1 < arguments.size())
            folder = arguments[i + 1];
        else if (arguments[i].startsWith(kFolderEq))
            folder = arguments[i].mid(kFolderEq.size());
    }
    return folder;
}
} // namespace

QString chooseProgramFolder(const QStringList& arguments, const QString& executableFolder,
                            bool executableFolderPortable, const QString& userDataFolder) {
    QString folder = folderOption(arguments);
    if (folder.isEmpty())
        folder = executableFolderPortable ? executableFolder : userDataFolder;
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool isPortableFolder(const QString& folder) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (path == QLatin1String("/usr") || path.startsWith(QLatin1String("/usr/")))
        return false;
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

QString resolveProgramFolder(const QStringList& arguments) {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    QString folder =
        chooseProgramFolder(arguments, executableFolder, isPortableFolder(executableFolder),
                            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    QDir().mkpath(folder);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool isUserDataFolder(const QString& folder) {
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir::cleanPath(folder) == QDir::cleanPath(userData);
}

QStringList withoutFolderOption(const QStringList& arguments) {
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == kFolder) {
            ++i;
            continue;
        }
        if (!arguments[i].startsWith(kFolderEq))
            rest << arguments[i];
    }
    return rest;
}
