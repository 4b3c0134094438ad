// Enroll files as LoadAllEnrolls and LoadOneEnroll read them: false or whole, never a crash.
#include "sdk.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.fpt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    const UserPtr marker = CoUserExt();
    std::vector<UserPtr> users{marker};
    if (!TZd2911EnrollFile::LoadAllEnrolls(path, users) &&
        (users.size() != 1 || users[0] != marker))
        __builtin_trap();
    IUserExt one;
    one.UserName = QStringLiteral("unchanged");
    if (!TZd2911EnrollFile::LoadOneEnroll(path, one) && one.UserName != QStringLiteral("unchanged"))
        __builtin_trap();
    return 0;
}
