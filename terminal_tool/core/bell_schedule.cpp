#include "bell_schedule.h"

#include "device_session.h"
#include "prompt.h"
#include "record_line.h"
#include "text_formats.h"

namespace {

constexpr int kBellTableCode = 2;
constexpr int kValueType = 3;

std::size_t recordOffset(int bellIndex) {
    return static_cast<std::size_t>(bellIndex) * BellRecordSize;
}

bool readNumber(const QString& text, int lowest, int highest, int& value) {
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!c.isDigit())
            return false;
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= lowest && value <= highest;
}

QString rowName(int bellIndex) {
    return QStringLiteral("Zil %1").arg(bellIndex + 1);
}

// A shorter answer would leave bells unread (or unwritten) without anyone noticing.
bool wholeTable(const ByteVector& table, QString* error) {
    if (table.size() >= static_cast<std::size_t>(BellTableSize))
        return true;
    *error = QStringLiteral("Terminalden gelen zil tablosu eksik: %1 bayt (%2 olmalı).")
                 .arg(table.size())
                 .arg(BellTableSize);
    return false;
}

} // namespace

bool parseBellTime(const QString& text, int& hour, int& minute) {
    const QStringList parts = text.trimmed().split(processTextFormats().timeSeparator);
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int second = 0;
    return readNumber(parts[0].trimmed(), 0, 23, hour) &&
           readNumber(parts[1].trimmed(), 0, 59, minute) &&
           (parts.size() == 2 || readNumber(parts[2].trimmed(), 0, 59, second));
}

QString bellTimeText(const Bell& bell) {
    const TextFormats& formats = processTextFormats();
    return formatDateTime(formats.longTimeFormat,
                          QDateTime(QDate(2000, 1, 1), QTime(bell.hour, bell.minute, 0)), formats);
}

BellRow bellRowFor(const Bell& bell) {
    BellRow row;
    row.time = bellTimeText(bell);
    row.dayIndex = bell.day <= BellLastDay ? bell.day : -1;
    row.duration = QString::number(bell.duration);
    return row;
}

std::optional<BellList> decodeBellTable(const ByteVector& table, QString* error) {
    if (!wholeTable(table, error))
        return std::nullopt;
    BellList bells;
    for (int n = 0; n < BellCount; ++n) {
        const std::uint8_t* record = table.data() + recordOffset(n);
        Bell& bell = bells[static_cast<std::size_t>(n)];
        bell.hour = record[0];
        bell.minute = record[1];
        bell.day = record[2];
        bell.duration = record[3];
        if (bell.hour > 23 || bell.minute > 59) {
            *error = QStringLiteral("%1: terminaldeki saat geçersiz (saat %2, dakika %3); "
                                    "zil saatleri yüklenmedi.")
                         .arg(rowName(n))
                         .arg(bell.hour)
                         .arg(bell.minute);
            return std::nullopt;
        }
    }
    return bells;
}

bool encodeBellRows(const BellRows& rows, ByteVector& table, QString* error) {
    if (!wholeTable(table, error))
        return false;
    ByteVector filled = table;
    for (int n = 0; n < BellCount; ++n) {
        const BellRow& row = rows[static_cast<std::size_t>(n)];
        int hour = 0;
        int minute = 0;
        if (!parseBellTime(row.time, hour, minute)) {
            *error = QStringLiteral("%1: \"%2\" geçerli bir saat değil.").arg(rowName(n), row.time);
            return false;
        }
        bool ok = false;
        const int duration = row.duration.trimmed().toInt(&ok);
        if (!ok) {
            *error = QStringLiteral("%1: çalma süresi \"%2\" geçerli bir tam sayı değil.")
                         .arg(rowName(n), row.duration);
            return false;
        }
        const int base = static_cast<int>(recordOffset(n));
        PutByte(filled, base + 0, hour);
        PutByte(filled, base + 1, minute);
        PutByte(filled, base + 2,
                row.dayIndex >= 0 && row.dayIndex <= BellLastDay ? row.dayIndex : BellNoDay);
        PutByte(filled, base + 3, duration); // low 8 bits: 300 is stored as 44
    }
    table.swap(filled);
    return true;
}

std::optional<BellList> readBells(DeviceSession& session, Prompt& prompt) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    if (!session.BeginDeviceWork(extraProperty, &prompt))
        return std::nullopt;
    extraData = TZd2911Tools::ValueToBytes(QString::number(BellTableSelector), kValueType);
    std::optional<BellList> bells;
    QString error;
    if (session.connection().GetDeviceData(kBellTableCode, extraProperty, session.device(),
                                           extraData))
        bells = decodeBellTable(extraData, &error);
    else
        prompt.message(QStringLiteral("Get alarm: Fail"));
    session.EndDeviceWork(extraProperty, &prompt);
    if (!error.isEmpty())
        prompt.error(error);
    return bells;
}

bool sendBells(DeviceSession& session, const BellRows& rows, Prompt& prompt) {
    bool sent = false;
    QString error;
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    if (session.BeginDeviceWork(extraProperty, &prompt)) {
        // Always start from the table the terminal holds now: it carries bytes 4 to 7.
        extraData = TZd2911Tools::ValueToBytes(QString::number(BellTableSelector), kValueType);
        if (!session.connection().GetDeviceData(kBellTableCode, extraProperty, session.device(),
                                                extraData)) {
            prompt.message(QStringLiteral("Get alarm: Fail"));
        } else {
            extraProperty =
                TZd2911Tools::ValueToBytes(QString::number(BellTableSelector), kValueType);
            if (encodeBellRows(rows, extraData, &error))
                sent = session.connection().SetDeviceData(kBellTableCode, extraProperty,
                                                          session.device(), extraData);
        }
        session.EndDeviceWork(extraProperty, &prompt);
    }
    prompt.message(sent ? QStringLiteral("Zil saatleri yüklendi")
                        : QStringLiteral("HATA!!!! yüklenemedi...."));
    if (!error.isEmpty())
        prompt.error(error);
    return sent;
}
