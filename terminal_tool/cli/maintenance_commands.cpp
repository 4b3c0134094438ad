#include "commands.h"

#include <cstdio>

int runClock(const QString&, const QStringList&) {
    std::fputs("selvanor clock: not available yet\n", stderr);
    return 2;
}

int runBells(const QString&, const QStringList&) {
    std::fputs("selvanor bells: not available yet\n", stderr);
    return 2;
}
