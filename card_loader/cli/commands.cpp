#include "commands.h"

#include <QTextStream>
#include <cstdio>

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const QStringList& arguments, const QString& programFolder);
};

int help(const QStringList&, const QString&);

// The commands, each running the same operation as its button of the window.
const Command kCommands[] = {
    {"help", "help                 this list", help},
    {"upload",
     "upload --kind kart|sifre [--person KARTNO] [filters]   write to the chosen terminals",
     uploadCommand},
    {"remove", "remove --kind kart|sifre [--person KARTNO] [filters]   remove from them",
     removeCommand},
};

int help(const QStringList&, const QString&) {
    QTextStream out(stdout);
    out << "usage: cardpush [--folder DIR] <command> ...\n"
           "Without a command the window opens. Settings.ini is read from DIR (default: the\n"
           "program's folder).\n\ncommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.usage << '\n';
    return 0;
}

} // namespace

int runCommand(const QStringList& arguments, const QString& programFolder) {
    const QString name = arguments.value(0);
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            return c.run(arguments.mid(1), programFolder);
    QTextStream(stderr) << "cardpush: unknown command '" << name << "' (try: cardpush help)\n";
    return 2;
}
