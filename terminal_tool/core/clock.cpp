#include "clock.h"

#include "device_session.h"
#include "prompt.h"

namespace {
constexpr int kClockCode = 10;
constexpr int kClockByteCount = 6;
} // namespace

QString clockText(const ByteVector& clockBytes) {
    if (clockBytes.size() < kClockByteCount)
        return QString();
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(2000 + clockBytes[0])
        .arg(clockBytes[1])
        .arg(clockBytes[2])
        .arg(clockBytes[3])
        .arg(clockBytes[4])
        .arg(clockBytes[5]);
}

bool setDeviceClock(DeviceSession& session, Prompt& prompt) {
    ByteVector extraProperty = NewByteVector(2);
    const ByteVector extraData = NewByteVector(2);
    const bool ok =
        session.connection().SetDeviceData(kClockCode, extraProperty, session.device(), extraData);
    prompt.message(ok ? QStringLiteral("cihaz tarih saati ayarlandı..")
                      : QStringLiteral("HATA...tarih saat ayarlanamadı.."));
    return ok;
}

bool readDeviceClock(DeviceSession& session, Prompt& prompt) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(2);
    const bool ok =
        session.connection().GetDeviceData(kClockCode, extraProperty, session.device(), extraData);
    // A short answer cannot be shown as a date: report it as the failure it is.
    const QString text = ok ? clockText(extraData) : QString();
    if (text.isEmpty()) {
        prompt.message(QStringLiteral("Get the device time: Fail"));
        return false;
    }
    prompt.message(text);
    return true;
}
