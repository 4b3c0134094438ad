#include "download.h"

#include "device_session.h"
#include "prompt.h"

#include <QDir>
#include <QHash>
#include <QStringList>

namespace {

constexpr int ReadRecordsCode = 13; // GetDeviceData: records; SetDeviceData: clear them all
constexpr int LineBatchForProgress = 4096;

// A record as the terminal holds it; equal keys are the same punch.
QString recordKey(const IRecordExt& record) {
    return record.EnrollNumber + QLatin1Char('|') +
           QString::number(record.RecordTime.toSecsSinceEpoch()) + QLatin1Char('|') +
           QString::number(record.TerminalNumber) + QLatin1Char('|') +
           QString::number(record.StateCode);
}

} // namespace

ReadRange ReadRange::attendance(const QDate& today) {
    return {QDate::fromString(QStringLiteral("01.01.2010"), QStringLiteral("dd.MM.yyyy")), today};
}

ReadRange ReadRange::whole() {
    return {QDate(2000, 1, 1), QDate(2255, 12, 31)};
}

void ReadRange::writeRequest(ByteVector& extraProperty, ByteVector& extraData) const {
    PutByte(extraProperty, 0, 0);
    PutByte(extraProperty, 1, 0);
    PutByte(extraData, 0, start.year() - 2000);
    PutByte(extraData, 1, start.month());
    PutByte(extraData, 2, start.day());
    PutByte(extraData, 3, end.year() - 2000);
    PutByte(extraData, 4, end.month());
    PutByte(extraData, 5, end.day());
}

RecordTransfer::RecordTransfer(DeviceSession& session, const ReadRange& range, Progress& progress)
    : session_(session), range_(range), progress_(progress) {}

bool RecordTransfer::readRange(const ReadRange& range, ByteVector& extraProperty,
                               ByteVector& extraData, std::vector<IRecordExt>& records) {
    range.writeRequest(extraProperty, extraData);
    TZd2911DeviceConnection& connection = session_.connection();
    connection.setProgressHandler(
        [this](qint64 done, qint64 total) { progress_.step(done, total); });
    struct ResetHandler {
        TZd2911DeviceConnection& connection;
        ~ResetHandler() { connection.setProgressHandler({}); }
    } reset{connection};
    if (!connection.GetDeviceData(ReadRecordsCode, extraProperty, session_.device(), extraData))
        return false;
    records = session_.tools().BytesToRecords(extraData);
    return true;
}

bool RecordTransfer::read(ByteVector& extraProperty, ByteVector& extraData) {
    records_.clear();
    // An empty answer says what a refusal says: nothing to take from this terminal.
    return readRange(range_, extraProperty, extraData, records_) && !records_.empty();
}

void RecordTransfer::write(RecordFiles& files, const RecordLineFormatter& formatter,
                           LineSink& memo4) {
    files.lock();
    const qint64 total = static_cast<qint64>(records_.size());
    for (qint64 i = 0; i < total; ++i) {
        const QString line = formatter.line(records_[static_cast<size_t>(i)]);
        memo4.addLine(line);
        files.appendLine(line);
        if ((i + 1) % LineBatchForProgress == 0)
            progress_.step(i + 1, total);
    }
    files.sync();
    files.unlock();
    progress_.step(total, total);
}

RecordTransfer::ClearResult RecordTransfer::clear(ByteVector& extraProperty, ByteVector& extraData,
                                                  RecordFiles& files,
                                                  const RecordLineFormatter& formatter,
                                                  LineSink& memo4, const QString& folder) {
    if (!session_.BeginDeviceWork(extraProperty, nullptr))
        return ClearResult::BusyRefused;
    // The clear removes every record on the terminal: look at all of them first.
    std::vector<IRecordExt> all;
    extraData = NewByteVector(6); // the first read left its answer here
    if (!readRange(ReadRange::whole(), extraProperty, extraData, all))
        return ClearResult::Refused;
    QHash<QString, int> written;
    written.reserve(static_cast<qsizetype>(records_.size()));
    for (const IRecordExt& record : records_)
        ++written[recordKey(record)];
    QStringList outside;
    files.lock();
    for (const IRecordExt& record : all) {
        const auto it = written.find(recordKey(record));
        if (it != written.end() && it.value() > 0) {
            --it.value();
            continue;
        }
        const QString line = formatter.line(record);
        if (range_.contains(record.RecordTime.date())) {
            memo4.addLine(line);
            files.appendLine(line);
        } else {
            outside << line;
        }
    }
    files.sync();
    files.unlock();
    if (!outside.isEmpty())
        appendOutOfRangeLines(folder, outside);
    return session_.connection().SetDeviceData(ReadRecordsCode, extraProperty, session_.device(),
                                               extraData)
               ? ClearResult::Cleared
               : ClearResult::Refused;
}

AttendanceDownload::AttendanceDownload(DeviceSession& session, const QString& folder,
                                       const Options& options, const QDate& today)
    : session_(session), folder_(folder), options_(options), today_(today) {
    applyRecordTextFormats();
    formats_ = processTextFormats();
}

int AttendanceDownload::run(Prompt& prompt, LineSink& memo4, Progress& progress) {
    memo4.clear();
    refused_ = false;
    int received = 0;
    bool busy = false;
    try {
        transfer(prompt, memo4, progress, received, busy);
    } catch (const RecordFileError&) {
        // A terminal left busy may refuse its users' punches; the link itself is fine here.
        if (busy) {
            ByteVector extraProperty = NewByteVector(2);
            try {
                session_.EndDeviceWork(extraProperty, nullptr);
            } catch (const DeviceError&) {
            }
        }
        finish(prompt, received);
        throw;
    } catch (...) {
        finish(prompt, received);
        throw;
    }
    finish(prompt, received);
    return received;
}

void AttendanceDownload::transfer(Prompt& prompt, LineSink& memo4, Progress& progress,
                                  int& received, bool& busy) {
    RecordFiles files(folder_, options_.veriDosya2, today_);
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    if (!session_.BeginDeviceWork(extraProperty, &prompt)) {
        refused_ = true;
        return;
    }
    busy = true;
    RecordTransfer transfer(session_, ReadRange::attendance(today_), progress);
    const bool readOk = transfer.read(extraProperty, extraData);
    received = transfer.received();
    if (readOk) {
        const RecordLineFormatter formatter(options_.dorvak ? RecordLineFormatter::Format::Dorvak
                                                            : RecordLineFormatter::Format::Normal,
                                            session_.sessionIp(), 1, formats_);
        transfer.write(files, formatter, memo4);
        if (options_.veriSil) {
            // A refused busy status skips the clearing without a message, but it is no success.
            const RecordTransfer::ClearResult cleared =
                transfer.clear(extraProperty, extraData, files, formatter, memo4, folder_);
            refused_ = cleared != RecordTransfer::ClearResult::Cleared;
            if (cleared == RecordTransfer::ClearResult::Refused)
                prompt.message(QStringLiteral("Clear All Glog: Fail"));
        }
    } else {
        prompt.message(QStringLiteral("Cihazdan alınacak veri yok."));
    }
    busy = false;
    if (!session_.EndDeviceWork(extraProperty, &prompt))
        refused_ = true;
}

// The final step: the record files are closed by then; this message comes before any error.
void AttendanceDownload::finish(Prompt& prompt, int received) {
    if (received > 0)
        prompt.message(QStringLiteral("cihazdan veriler alındı"));
}
