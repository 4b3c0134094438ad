// selvanor collect: the collection from all terminals (--all) or the download from one
// (--terminal NAME), without a screen, for cron and systemd timers.

#include "commands.h"

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
    std::fputs("usage: selvanor collect [--folder DIR] --all [--parallel N]\n"
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
    try {
        const TerminalRegistry registry(QDir(folder).filePath(QStringLiteral("Data.db")));
        const auto row = registry.byName(name);
        if (!row) {
            prompt.error(QStringLiteral("Terminal bulunamadı: %1").arg(name));
            return 2;
        }
        DeviceSession session;
        if (!session.OpenSession(*row)) {
            prompt.message(QStringLiteral("Hata..Bağlantı Kurulamadı...."));
            return 1;
        }
        AttendanceDownload download(session, folder, readOptions(settingsFilePath(folder)));
        DiscardSink memo4;
        NullProgress progress;
        download.run(prompt, memo4, progress);
        session.CloseSession();
        return 0;
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 2;
    }
}

} // namespace

int runCollect(const QString& folder, const QStringList& args) {
    ConsolePrompt prompt;
    if (args == QStringList{QStringLiteral("--all")})
        return collectAll(folder, 1, prompt);
    if (args.size() == 3 && args.first() == QLatin1String("--all") &&
        args.at(1) == QLatin1String("--parallel")) {
        bool ok = false;
        const int workers = args.at(2).toInt(&ok);
        if (ok && workers >= 1 && workers <= 64)
            return collectAll(folder, workers, prompt);
    }
    if (args.size() == 2 && args.first() == QLatin1String("--terminal"))
        return collectOne(folder, args.at(1), prompt);
    return usage();
}
