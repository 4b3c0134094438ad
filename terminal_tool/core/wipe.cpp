#include "wipe.h"

#include "device_session.h"
#include "prompt.h"

bool wipeAllEnrollments(DeviceSession& session, Prompt& prompt) {
    // The menu stays reachable after a disconnect: never send through a closed or stale link.
    if (!session.isOpen()) {
        prompt.warning(QStringLiteral("Terminal bağlantısı yok. Önce \"BAGLAN\" ile terminale "
                                      "bağlanın."));
        return false;
    }
    if (!prompt.confirm(
            QStringLiteral("Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor musunuz...?")))
        return false;
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    if (!session.BeginDeviceWork(extraProperty, &prompt))
        return false;
    // Enroll number 0 stands for all users.
    extraData = TZd2911Tools::EnrollNumberToBytes(QStringLiteral("0"));
    const bool wiped =
        session.connection().SetDeviceData(14, extraProperty, session.device(), extraData);
    prompt.message(wiped ? QStringLiteral("Tüm datalar silindi...")
                         : QStringLiteral("Hata!!!Silinemedi...."));
    session.EndDeviceWork(extraProperty, &prompt);
    return wiped;
}
