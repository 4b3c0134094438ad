#include "commands.h"

#include <cstdio>

int runCollect(const QString&, const QStringList&) {
    std::fputs("selvanor collect: not available yet\n", stderr);
    return 2;
}
