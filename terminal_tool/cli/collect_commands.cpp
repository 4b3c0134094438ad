// selvanor collect: the collection from all terminals (--all) or the download from one
// (--terminal NAME), without a screen, for cron and systemd timers.

#include "commands.h"
#include "terminal_link.h"

#include "collection.h"
#include "console_prompt.h"
#include "device_session.h"
#include "terminal_registry.h"

#include <QDir>
#include <atomic>
#include <cstdio>

namespace {

// The record memo has no place on the command line: the lines are in the record files.
class DiscardSink : public LineSink {
public:
    void clear() override {}
    void addLine(const QString&) override {}
};

int usage() {
    std::fputs("usage: selvanor collect [--folder DIR] --all [--parallel N (1-64)]\n"
               "       selvanor collect [--folder DIR] --terminal NAME\n",
               stderr);
    return 2;
}

// workers 1: one terminal after the other, as the window does.
int collectAll(const QString& folder, int workers, ConsolePrompt& prompt) {
    DeviceSession session;
    std::atomic<bool> runFlag{true};
    StdoutSink memo3;
    DiscardSink memo4;
    NullProgress progress;
    try {
        CollectionRun run(folder, readOptions(settingsFilePath(folder)));
        const CollectionResult result =
            workers > 1 ? run.runParallel(workers, runFlag, memo3, memo4, progress)
                        : run.run(session, runFlag, memo3, memo4, progress);
        return result.failed > 0 ? 1 : 0;
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 2;
    }
}

int collectOne(const QString& folder, const QString& name, ConsolePrompt& prompt) {
    DeviceSession session;
    return runOnNamedTerminal(folder, name, prompt, session, [&] {
        AttendanceDownload download(session, folder, readOptions(settingsFilePath(folder)));
        DiscardSink memo4;
        NullProgress progress;
        download.run(prompt, memo4, progress);
        return download.succeeded();
    });
}

} // namespace

int runCollect(const QString& folder, const QStringList& args) {
    ConsolePrompt prompt;
    bool all = false;
    QString terminal;
    int workers = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--all")) {
            all = true;
        } else if (arg == QLatin1String("--terminal") && hasValue) {
            terminal = args.at(++i);
        } else if (arg == QLatin1String("--parallel") && hasValue) {
            bool ok = false;
            workers = args.at(++i).toInt(&ok);
            if (!ok || workers < 1 || workers > 64)
                return usage();
        } else {
            return usage();
        }
    }
    if (all && terminal.isEmpty())
        return collectAll(folder, workers, prompt);
    if (!all && !terminal.isEmpty() && workers == 1)
        return collectOne(folder, terminal, prompt);
    return usage();
}
