#include "commands.h"

#include <cstdio>

int runConvert(const QString&, const QStringList&) {
    std::fputs("selvanor convert: not available yet\n", stderr);
    return 2;
}
