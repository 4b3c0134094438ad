#pragma once
// Collection from all terminals ("Bağlanıp Verileri Aktar"): every terminal of the list in
// turn, its records appended to the record files, problems listed per terminal in Memo3.

#include "download.h"

#include <QDate>
#include <QString>
#include <atomic>
#include <functional>

class DeviceSession;
class LineSink;
class Progress;
struct TerminalRecord;

struct CollectionResult {
    int terminals = 0; // rows in the list
    int visited = 0;   // rows whose turn came
    int failed = 0;    // visited rows not connected, or that refused the busy status
    bool cancelled = false;
};

class CollectionRun {
public:
    // Called as a row's turn begins (index from 0), on the thread of the run.
    using RowStarted = std::function<void(int index, int total, const TerminalRecord& row)>;

    // Sets the process-wide text formats and fixes the dates for the whole run; runs on the
    // caller's thread. folder holds Data.db, the record files and yedek_selvanor.
    CollectionRun(const QString& folder, const Options& options,
                  const QDate& today = QDate::currentDate());

    // Reads the terminal list on a connection of its own and visits every row in list order
    // with session. runFlag is set at the start; a row's turn first takes its value (the
    // moment a cancel press is noticed) and the next turn starts only if that was still set,
    // so a press during terminal k stops the run after terminal k+1. An error (record file,
    // link, a row that cannot be read) stops the run and propagates; that terminal is not
    // cleared.
    CollectionResult run(DeviceSession& session, std::atomic<bool>& runFlag, LineSink& memo3,
                         LineSink& memo4, Progress& progress, const RowStarted& rowStarted = {});

    // The same run talking to up to workers terminals at once, each on a session of its own:
    // connecting, the busy status and the read run ahead (at most 4 x workers rows); writing,
    // clearing, the idle status and closing follow in list order on the calling thread. The record
    // files and Memo3 receive exactly what run() gives them, in the same order, and nothing is
    // cleared before its lines are on disk. Terminals read ahead of a stop are set idle and closed
    // uncleared.
    CollectionResult runParallel(int workers, std::atomic<bool>& runFlag, LineSink& memo3,
                                 LineSink& memo4, Progress& progress,
                                 const RowStarted& rowStarted = {});

    // The name a row has in Memo3: the address of a TCP/IP terminal, otherwise the row's name
    // (its port when it has none), so every line tells which terminal it is about.
    static QString label(const TerminalRecord& row);

private:
    struct Turn;
    QList<TerminalRecord> start(std::atomic<bool>& runFlag, LineSink& memo3, LineSink& memo4) const;
    // Connect, busy status, read.
    void readTerminal(const TerminalRecord& row, Turn& turn, Progress& progress) const;
    // Lines, clearing, idle status, close; the Memo3 line of a terminal that gave nothing.
    void finishTerminal(const TerminalRecord& row, Turn& turn, RecordFiles& files, LineSink& memo3,
                        LineSink& memo4, CollectionResult& result) const;

    QString folder_;
    Options options_;
    QDate today_;
    TextFormats formats_;
};
