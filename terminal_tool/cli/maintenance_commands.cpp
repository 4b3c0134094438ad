// selvanor clock / selvanor bells: the clock and the bell table of one terminal without a
// screen, for administrators who look after many terminals.
#include "commands.h"
#include "terminal_link.h"

#include "bell_schedule.h"
#include "clock.h"
#include "console_prompt.h"
#include "terminal_registry.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

int usage() {
    std::fputs("usage: selvanor clock [--folder DIR] --terminal NAME --get|--set\n"
               "       selvanor bells [--folder DIR] --terminal NAME --get|--set FILE\n"
               "FILE: 24 lines \"HH:MM:SS <day code> <seconds>\"; day code 0 every day,\n"
               "1 Sunday .. 7 Saturday, 255 none\n",
               stderr);
    return 2;
}

struct Arguments {
    QString terminal;
    std::optional<QString> action; // "--get" or "--set"
    QString file;
};

// "--terminal NAME" (or "--terminal=NAME") and exactly one action; --set takes a file when
// withFile is true.
std::optional<Arguments> parseArguments(const QStringList& args, bool withFile) {
    Arguments parsed;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a.startsWith(QLatin1String("--terminal="))) {
            parsed.terminal = a.mid(11);
        } else if (a == QLatin1String("--terminal") && i + 1 < args.size()) {
            parsed.terminal = args.at(++i);
        } else if ((a == QLatin1String("--get") || a == QLatin1String("--set")) && !parsed.action) {
            parsed.action = a;
            if (a == QLatin1String("--set") && withFile) {
                if (i + 1 >= args.size())
                    return std::nullopt;
                parsed.file = args.at(++i);
            }
        } else {
            return std::nullopt;
        }
    }
    if (parsed.terminal.trimmed().isEmpty() || !parsed.action)
        return std::nullopt;
    return parsed;
}

// Reads the 24 lines of a bells file into the rows the send takes. Each line is checked
// here, before any terminal is touched.
std::optional<BellRows> readBellFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QTextStream in(&file);
    BellRows rows;
    int count = 0;
    for (int lineNo = 1; !in.atEnd(); ++lineNo) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int hour = 0;
        int minute = 0;
        bool dayOk = false;
        bool durationOk = false;
        const int day = fields.size() == 3 ? fields[1].toInt(&dayOk) : -1;
        const int duration = fields.size() == 3 ? fields[2].toInt(&durationOk) : -1;
        const bool valid = fields.size() == 3 && parseBellTime(fields[0], hour, minute) && dayOk &&
                           (day == BellNoDay || (day >= 0 && day <= BellLastDay)) && durationOk &&
                           duration >= 0 && duration <= 255;
        if (!valid || count == BellCount) {
            *error = count == BellCount
                         ? QStringLiteral("%1: %2 satırdan fazla zil var.").arg(path).arg(BellCount)
                         : QStringLiteral("%1, satır %2: \"%3\" okunamadı (beklenen: SS:DD:SS "
                                          "<gün kodu> <saniye>).")
                               .arg(path)
                               .arg(lineNo)
                               .arg(line);
            return std::nullopt;
        }
        rows[static_cast<std::size_t>(count++)] =
            BellRow{fields[0], day == BellNoDay ? -1 : day, fields[2]};
    }
    if (count != BellCount) {
        *error = QStringLiteral("%1: %2 zil var, %3 olmalı.").arg(path).arg(count).arg(BellCount);
        return std::nullopt;
    }
    return rows;
}

void printBells(const BellList& bells) {
    QTextStream out(stdout);
    for (const Bell& bell : bells)
        out << QStringLiteral("%1:%2:00 %3 %4\n")
                   .arg(bell.hour, 2, 10, QLatin1Char('0'))
                   .arg(bell.minute, 2, 10, QLatin1Char('0'))
                   .arg(bell.day <= BellLastDay ? bell.day : BellNoDay)
                   .arg(bell.duration);
}

} // namespace

int runClock(const QString& folder, const QStringList& args) {
    const std::optional<Arguments> parsed = parseArguments(args, false);
    if (!parsed)
        return usage();
    ConsolePrompt prompt;
    const bool get = *parsed->action == QLatin1String("--get");
    DeviceSession session;
    return runOnNamedTerminal(folder, parsed->terminal, prompt, session, [&] {
        return get ? readDeviceClock(session, prompt) : setDeviceClock(session, prompt);
    });
}

int runBells(const QString& folder, const QStringList& args) {
    const std::optional<Arguments> parsed = parseArguments(args, true);
    if (!parsed)
        return usage();
    ConsolePrompt prompt;
    DeviceSession session;
    if (*parsed->action == QLatin1String("--get")) {
        return runOnNamedTerminal(folder, parsed->terminal, prompt, session, [&] {
            const std::optional<BellList> bells = readBells(session, prompt);
            if (bells)
                printBells(*bells);
            return bells.has_value();
        });
    }
    QString error;
    const std::optional<BellRows> rows = readBellFile(parsed->file, &error);
    if (!rows) {
        prompt.error(error);
        return 2;
    }
    return runOnNamedTerminal(folder, parsed->terminal, prompt, session,
                              [&] { return sendBells(session, *rows, prompt); });
}
