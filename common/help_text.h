#pragma once
// --help of a program and of its commands. The texts are the ones printed in the README, so
// the manual pages made from them at build time say the same.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct CommandHelp {
    QString name;
    QString text; // usage lines first, then what it does; ends with a line end
};

struct ProgramHelp {
    QString program;
    QString overview; // printed first by --help; ends with a line end
    QList<CommandHelp> commands;

    // The overview followed by every command's text: "PROGRAM --help" and "PROGRAM help".
    QString fullText() const;
    const CommandHelp* command(const QString& name) const;
};

// When arguments (without --folder) ask for help, prints it and returns the exit status:
// "--help", "-h" or "help" first give the whole text, "help CMD" and "CMD --help" (or -h)
// the command's; 0 then, and 2 with a message on standard error for an unknown command.
// Returns nothing when the arguments ask for no help.
std::optional<int> answerHelpRequest(const ProgramHelp& help, const QStringList& arguments);
