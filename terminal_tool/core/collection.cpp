#include "collection.h"

#include "device_session.h"
#include "prompt.h"
#include "terminal_registry.h"

#include <QDir>

namespace {

const QString NotConnected = QStringLiteral("Bağlantı Kurulamadı...");
const QString NoData = QStringLiteral("Cihazdan Alınacak Veri Yok...");

} // namespace

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

CollectionResult CollectionRun::run(DeviceSession& session, std::atomic<bool>& runFlag,
                                    LineSink& memo3, LineSink& memo4, Progress& progress,
                                    const RowStarted& rowStarted) {
    memo4.clear();
    memo3.clear();
    runFlag = true;
    const TerminalRegistry registry(QDir(folder_).filePath(QStringLiteral("Data.db")));
    const QList<TerminalRecord> rows = registry.list();
    CollectionResult result;
    result.terminals = static_cast<int>(rows.size());
    const ReadRange range = ReadRange::attendance(today_);
    const auto format =
        options_.dorvak ? RecordLineFormatter::Format::Dorvak : RecordLineFormatter::Format::Normal;
    bool flagSeen = true;
    for (int i = 0; i < rows.size() && flagSeen; ++i) {
        flagSeen = runFlag;
        const TerminalRecord& row = rows.at(i);
        ++result.visited;
        if (rowStarted)
            rowStarted(i, result.terminals, row);
        const QString name = label(row);
        RecordFiles files(folder_, options_.veriDosya2, today_);
        if (!session.OpenSession(row)) {
            memo3.addLine(name + QLatin1Char(' ') + NotConnected);
            ++result.failed;
            continue;
        }
        ByteVector extraProperty = NewByteVector(2);
        ByteVector extraData = NewByteVector(6);
        if (session.BeginDeviceWork(extraProperty, nullptr)) {
            RecordTransfer transfer(session, range, progress);
            if (transfer.read(extraProperty, extraData)) {
                const RecordLineFormatter formatter(format, session.sessionIp(), 2, formats_);
                transfer.write(files, formatter, memo4);
                if (options_.veriSil)
                    transfer.clear(extraProperty, extraData, files, formatter, memo4, folder_);
            } else {
                memo3.addLine(name + QLatin1Char(' ') + NoData);
            }
            session.EndDeviceWork(extraProperty, nullptr);
        } else {
            ++result.failed;
        }
        session.CloseSession();
    }
    result.cancelled = result.visited < result.terminals;
    return result;
}
