// Settings.ini as a user or another program may have left it: any bytes load, read and save
// without a crash, and a value set is read back as set while the other keys keep theirs.
#include "ini_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    IniFile ini(path);
    if (!ini.load())
        return 0;
    const QString server = ini.value(QStringLiteral("Login"), QStringLiteral("Server"));
    ini.setValue(QStringLiteral("Options"), QStringLiteral("veriSil"), QStringLiteral("1"));
    if (!ini.save())
        return 0;
    IniFile again(path);
    if (!again.load() ||
        again.value(QStringLiteral("Options"), QStringLiteral("veriSil")) != QLatin1String("1") ||
        again.value(QStringLiteral("Login"), QStringLiteral("Server")) != server)
        std::abort();
    return 0;
}
