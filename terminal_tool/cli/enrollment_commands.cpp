#include "commands.h"

#include <cstdio>

int runBackup(const QString&, const QStringList&) {
    std::fputs("selvanor backup: not available yet\n", stderr);
    return 2;
}

int runRestore(const QString&, const QStringList&) {
    std::fputs("selvanor restore: not available yet\n", stderr);
    return 2;
}
