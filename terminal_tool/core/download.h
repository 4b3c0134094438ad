#pragma once
// Downloading a terminal's attendance records into the record files ("Verileri Aktar"), and
// the steps of it that the collection from all terminals shares.

#include "options.h"
#include "record_files.h"
#include "record_line.h"
#include "sdk.h"

#include <QDate>
#include <QString>
#include <vector>

class DeviceSession;
class LineSink;
class Progress;
class Prompt;

// The dates a read asks for.
struct ReadRange {
    QDate start;
    QDate end;

    // 01.01.2010 to today: what the record files receive.
    static ReadRange attendance(const QDate& today);
    // Every date a read request can name, so that a check before clearing sees every record.
    static ReadRange whole();

    bool contains(const QDate& date) const { return date >= start && date <= end; }
    // extraProperty 0, 0; extraData start and end as years since 2000, month, day.
    void writeRequest(ByteVector& extraProperty, ByteVector& extraData) const;
};

// Reading one terminal's records, writing their lines and clearing the terminal. Nothing is
// cleared that is not on disk: before the clear, a read of the whole range finds records the
// first read did not bring (dated outside the range, or made meanwhile) and keeps them too.
class RecordTransfer {
public:
    enum class ClearResult { Cleared, BusyRefused, Refused };

    RecordTransfer(DeviceSession& session, const ReadRange& range, Progress& progress);

    // Writes the request and reads; false when the terminal refused (it holds no records).
    // Throws DeviceError when the link fails.
    bool read(ByteVector& extraProperty, ByteVector& extraData);
    int received() const { return static_cast<int>(records_.size()); }

    // Each record's line to memo4, then to the record files; then every file is put on disk.
    void write(RecordFiles& files, const RecordLineFormatter& formatter, LineSink& memo4);

    // After a true read: busy again (refusal skips the clear), the check read, the records it
    // finds on disk (in-range ones in the record files and memo4, others in tarih_disi.txt),
    // then the clear. Refused also when the check read fails.
    ClearResult clear(ByteVector& extraProperty, ByteVector& extraData, RecordFiles& files,
                      const RecordLineFormatter& formatter, LineSink& memo4, const QString& folder);

private:
    bool readRange(const ReadRange& range, ByteVector& extraProperty, ByteVector& extraData,
                   std::vector<IRecordExt>& records);

    DeviceSession& session_;
    ReadRange range_;
    Progress& progress_;
    std::vector<IRecordExt> records_;
};

// "Verileri Aktar" on the connected terminal.
class AttendanceDownload {
public:
    // Sets the process-wide text formats and fixes the dates; runs on the caller's thread.
    AttendanceDownload(DeviceSession& session, const QString& folder, const Options& options,
                       const QDate& today = QDate::currentDate());

    // Empties memo4, writes the lines to it and to the record files, clears when asked and
    // shows the messages. Returns the number of records received. A record file or link
    // failure ends the download after its final step and propagates.
    int run(Prompt& prompt, LineSink& memo4, Progress& progress);
    // After run: false when the terminal refused the busy status, the clearing or the idle
    // status (a terminal without records is no failure).
    bool succeeded() const { return !refused_; }

private:
    // Steps 4 to 10; received and busy tell the caller how far they got.
    void transfer(Prompt& prompt, LineSink& memo4, Progress& progress, int& received, bool& busy);
    static void finish(Prompt& prompt, int received);

    DeviceSession& session_;
    QString folder_;
    Options options_;
    QDate today_;
    TextFormats formats_;
    bool refused_ = false;
};
