// selvanor backup | restore --terminal NAME [--file F]: a terminal's whole enrollment into a
// backup file and back, without a screen, for nightly backups and replacement terminals.

#include "commands.h"
#include "terminal_link.h"

#include "console_prompt.h"
#include "terminal_registry.h"
#include "whole_transfer.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <optional>

namespace {

struct TransferArguments {
    QString terminal;
    QString file;
};

void printError(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

// Reads --terminal NAME and --file F (also written --name=value); nothing else is accepted.
std::optional<TransferArguments> parseArguments(const QString& command, const QString& folder,
                                                const QStringList& args) {
    TransferArguments parsed;
    parsed.file = folder + QStringLiteral("allenroll.fpt");
    for (int i = 0; i < args.size(); ++i) {
        const QString option = args[i];
        QString name = option;
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (name.startsWith(QStringLiteral("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (name == QStringLiteral("--terminal") && !value.isEmpty())
            parsed.terminal = value;
        else if (name == QStringLiteral("--file") && !value.isEmpty())
            parsed.file = QFileInfo(value).absoluteFilePath();
        else {
            printError(QStringLiteral("selvanor %1: unknown or incomplete option %2")
                           .arg(command, option));
            parsed.terminal.clear();
            break;
        }
    }
    if (parsed.terminal.isEmpty()) {
        printError(QStringLiteral("usage: selvanor %1 [--folder DIR] --terminal NAME [--file F]")
                       .arg(command));
        return std::nullopt;
    }
    return parsed;
}

// What the enrollment window keeps, for one headless run.
struct Workspace {
    DeviceSession session;
    EnrollState state;
    EnrollRowTable rows;
    StdoutSink memo1;
    ConsolePrompt prompt;
    PdksNames names;
    WholeTransfer transfer{session, state, rows, memo1, prompt, names, false};
};

enum class Direction { Backup, Restore };

int transfer(Direction direction, const QString& folder, const QStringList& args) {
    const QString command =
        direction == Direction::Backup ? QStringLiteral("backup") : QStringLiteral("restore");
    const auto parsed = parseArguments(command, folder, args);
    if (!parsed)
        return 2;
    Workspace w;
    // A restore reads and checks the backup before the terminal is contacted at all.
    if (direction == Direction::Restore && !w.transfer.loadBackup(parsed->file))
        return 1;
    return runOnNamedTerminal(folder, parsed->terminal, w.prompt, w.session, [&] {
        const bool ok =
            direction == Direction::Backup
                ? w.transfer.receiveAll(parsed->file, folder + QStringLiteral("Settings.ini"))
                : w.transfer.writeTickedRows();
        return ok && w.prompt.errorCount() == 0;
    });
}

} // namespace

int runBackup(const QString& folder, const QStringList& args) {
    return transfer(Direction::Backup, folder, args);
}

int runRestore(const QString& folder, const QStringList& args) {
    return transfer(Direction::Restore, folder, args);
}
