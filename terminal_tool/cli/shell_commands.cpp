#include "commands.h"

#include <cstdio>

int runInit(const QString&, const QStringList&) {
    std::fputs("selvanor init: not available yet\n", stderr);
    return 2;
}
