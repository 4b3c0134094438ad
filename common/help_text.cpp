#include "help_text.h"

#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

bool isHelpOption(const QString& argument) {
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

int print(const QString& text) {
    QTextStream(stdout) << text;
    return 0;
}

} // namespace

QString ProgramHelp::fullText() const {
    QString text = overview;
    for (const CommandHelp& c : commands)
        text += QLatin1Char('\n') + c.text;
    return text;
}

const CommandHelp* ProgramHelp::command(const QString& name) const {
    for (const CommandHelp& c : commands)
        if (c.name == name)
            return &c;
    return nullptr;
}

std::optional<int> answerHelpRequest(const ProgramHelp& help, const QStringList& arguments) {
    if (arguments.isEmpty())
        return std::nullopt;
    const QString& first = arguments.first();
    if (isHelpOption(first) || first == QLatin1String("help")) {
        if (arguments.size() == 1 || isHelpOption(first))
            return print(help.fullText());
        if (const CommandHelp* c = help.command(arguments.at(1)))
            return print(c->text);
        QTextStream(stderr) << help.program << ": no command '" << arguments.at(1)
                            << "' (try: " << help.program << " --help)\n";
        return 2;
    }
    const CommandHelp* c = help.command(first);
    if (c && std::any_of(arguments.begin() + 1, arguments.end(), isHelpOption))
        return print(c->text);
    return std::nullopt;
}
