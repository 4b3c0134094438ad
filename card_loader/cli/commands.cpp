#include "commands.h"

#include <QTextStream>
#include <cstdio>

namespace {

struct Command {
    const char* name;
    int (*run)(const QStringList& arguments, const QString& programFolder);
};

// The commands, each running the same operation as its button of the window; their help is
// in help.cpp.
const Command kCommands[] = {
    {"upload", uploadCommand},
    {"remove", removeCommand},
};

} // namespace

int runCommand(const QStringList& arguments, const QString& programFolder) {
    const QString name = arguments.value(0);
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            return c.run(arguments.mid(1), programFolder);
    QTextStream(stderr) << "cardpush: unknown command '" << name << "' (try: cardpush --help)\n";
    return 2;
}
