#include "app_folder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
const QString kFolder = QStringLiteral("--folder");
const QString kFolderEq = QStringLiteral("--folder=");
} // namespace

QString resolveProgramFolder(const QStringList& arguments) {
    QString folder;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == kFolder && i + 1 < arguments.size())
            folder = arguments[i + 1];
        else if (arguments[i].startsWith(kFolderEq))
            folder = arguments[i].mid(kFolderEq.size());
    }
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    QDir().mkpath(folder);
    folder = QDir(folder).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
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
