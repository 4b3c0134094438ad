#include "collection.h"

#include "device_session.h"
#include "prompt.h"
#include "terminal_registry.h"

#include <QDir>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const QString NotConnected = QStringLiteral("Bağlantı Kurulamadı...");
const QString NoData = QStringLiteral("Cihazdan Alınacak Veri Yok...");

} // namespace

// One terminal's visit, split where the parallel run hands it from a worker to the writer.
struct CollectionRun::Turn {
    enum class State { NotConnected, BusyRefused, NoData, Read };

    DeviceSession* session = nullptr;
    std::unique_ptr<DeviceSession> ownSession; // the parallel run's
    State state = State::NotConnected;
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    std::unique_ptr<RecordTransfer> transfer;
    std::exception_ptr error;
    bool ready = false;
};

CollectionRun::CollectionRun(const QString& folder, const Options& options, const QDate& today)
    : folder_(folder), options_(options), today_(today) {
    applyRecordTextFormats();
    formats_ = processTextFormats();
}

QString CollectionRun::label(const TerminalRecord& row) {
    if (row.tip == QLatin1String("ethernet"))
        return row.ip;
    return row.name.isEmpty() ? row.comPort : row.name;
}

QList<TerminalRecord> CollectionRun::start(std::atomic<bool>& runFlag, LineSink& memo3,
                                           LineSink& memo4) const {
    memo4.clear();
    memo3.clear();
    runFlag = true;
    const TerminalRegistry registry(QDir(folder_).filePath(QStringLiteral("Data.db")));
    return registry.list();
}

void CollectionRun::readTerminal(const TerminalRecord& row, Turn& turn, Progress& progress) const {
    DeviceSession& session = *turn.session;
    if (!session.OpenSession(row)) {
        turn.state = Turn::State::NotConnected;
        return;
    }
    if (!session.BeginDeviceWork(turn.extraProperty, nullptr)) {
        turn.state = Turn::State::BusyRefused;
        return;
    }
    turn.transfer =
        std::make_unique<RecordTransfer>(session, ReadRange::attendance(today_), progress);
    turn.state = turn.transfer->read(turn.extraProperty, turn.extraData) ? Turn::State::Read
                                                                         : Turn::State::NoData;
}

void CollectionRun::finishTerminal(const TerminalRecord& row, Turn& turn, RecordFiles& files,
                                   LineSink& memo3, LineSink& memo4,
                                   CollectionResult& result) const {
    DeviceSession& session = *turn.session;
    switch (turn.state) {
    case Turn::State::NotConnected:
        memo3.addLine(label(row) + QLatin1Char(' ') + NotConnected);
        ++result.failed;
        return; // no link, nothing to close
    case Turn::State::BusyRefused:
        ++result.failed;
        break;
    case Turn::State::NoData:
        memo3.addLine(label(row) + QLatin1Char(' ') + NoData);
        session.EndDeviceWork(turn.extraProperty, nullptr);
        break;
    case Turn::State::Read: {
        const RecordLineFormatter formatter(options_.dorvak ? RecordLineFormatter::Format::Dorvak
                                                            : RecordLineFormatter::Format::Normal,
                                            session.sessionIp(), 2, formats_);
        turn.transfer->write(files, formatter, memo4);
        if (options_.veriSil)
            turn.transfer->clear(turn.extraProperty, turn.extraData, files, formatter, memo4,
                                 folder_);
        turn.transfer.reset(); // the records are on disk; free them before the next terminal
        session.EndDeviceWork(turn.extraProperty, nullptr);
        break;
    }
    }
    session.CloseSession();
}

CollectionResult CollectionRun::run(DeviceSession& session, std::atomic<bool>& runFlag,
                                    LineSink& memo3, LineSink& memo4, Progress& progress,
                                    const RowStarted& rowStarted) {
    const QList<TerminalRecord> rows = start(runFlag, memo3, memo4);
    CollectionResult result;
    result.terminals = static_cast<int>(rows.size());
    bool flagSeen = true;
    for (int i = 0; i < rows.size() && flagSeen; ++i) {
        flagSeen = runFlag;
        ++result.visited;
        if (rowStarted)
            rowStarted(i, result.terminals, rows.at(i));
        RecordFiles files(folder_, options_.veriDosya2, today_);
        Turn turn;
        turn.session = &session;
        readTerminal(rows.at(i), turn, progress);
        finishTerminal(rows.at(i), turn, files, memo3, memo4, result);
    }
    result.cancelled = result.visited < result.terminals;
    return result;
}

CollectionResult CollectionRun::runParallel(int workers, std::atomic<bool>& runFlag,
                                            LineSink& memo3, LineSink& memo4, Progress& progress,
                                            const RowStarted& rowStarted) {
    const QList<TerminalRecord> rows = start(runFlag, memo3, memo4);
    const int count = static_cast<int>(rows.size());
    workers = std::max(1, std::min(workers, count));
    std::vector<Turn> turns(static_cast<size_t>(count));
    std::mutex mutex;
    std::condition_variable changed;
    int nextToRead = 0;
    int writing = 0; // the turn the writer is at
    // How far reading may run ahead of writing: far enough that terminals which do not answer
    // wait out their time-outs together, near enough to bound the records held in memory.
    const int lookahead = 4 * workers;
    bool stopped = false; // the writer is done; workers take no new rows
    NullProgress quiet;   // several reads at once would make one bar jump; it counts terminals

    auto work = [&] {
        for (;;) {
            int index;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] {
                    return stopped || nextToRead >= count || nextToRead < writing + lookahead;
                });
                if (stopped || nextToRead >= count)
                    return;
                index = nextToRead++;
            }
            Turn& turn = turns[static_cast<size_t>(index)];
            turn.ownSession = std::make_unique<DeviceSession>();
            turn.session = turn.ownSession.get();
            try {
                readTerminal(rows.at(index), turn, quiet);
            } catch (...) {
                turn.error = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                turn.ready = true;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back(work);

    CollectionResult result;
    result.terminals = count;
    std::exception_ptr failure;
    bool flagSeen = true;
    int i = 0;
    for (; i < count && flagSeen; ++i) {
        flagSeen = runFlag;
        ++result.visited;
        if (rowStarted)
            rowStarted(i, count, rows.at(i));
        Turn& turn = turns[static_cast<size_t>(i)];
        try {
            {
                std::unique_lock<std::mutex> lock(mutex);
                writing = i;
                changed.notify_all();
                changed.wait(lock, [&] { return turn.ready; });
            }
            if (turn.error)
                std::rethrow_exception(turn.error);
            RecordFiles files(folder_, options_.veriDosya2, today_);
            finishTerminal(rows.at(i), turn, files, memo3, memo4, result);
            progress.step(i + 1, count);
        } catch (...) {
            failure = std::current_exception();
            ++i; // this terminal keeps its link, as in the sequential run
            break;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopped = true;
    }
    changed.notify_all();
    for (std::thread& t : threads)
        t.join();
    // Terminals read ahead of a stop: nothing was written or cleared; leave them idle.
    for (int k = i; k < count; ++k) {
        Turn& turn = turns[static_cast<size_t>(k)];
        if (!turn.session || turn.error || turn.state == Turn::State::NotConnected)
            continue;
        try {
            if (turn.state != Turn::State::BusyRefused)
                turn.session->EndDeviceWork(turn.extraProperty, nullptr);
            turn.session->CloseSession();
        } catch (const std::exception&) {
            // The stop is what gets reported; these terminals still hold all their records.
        }
    }
    result.cancelled = result.visited < result.terminals;
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
