#include "options.h"

#include "ini_file.h"

#include <stdexcept>

namespace {

const QString kSection = QStringLiteral("Options");

IniFile loaded(const QString& path) {
    IniFile ini(path);
    QString error;
    if (!ini.load(&error))
        throw std::runtime_error((path + QStringLiteral(": ") + error).toStdString());
    return ini;
}

QString flag(bool on, const QString& off) {
    return on ? QStringLiteral("1") : off;
}

} // namespace

QString settingsFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("Settings.ini");
}

Options readOptions(const QString& settingsPath) {
    const IniFile ini = loaded(settingsPath);
    auto ticked = [&](const char* key) {
        return ini.value(kSection, QLatin1String(key)) == QLatin1String("1");
    };
    Options o;
    o.veriDosya2 = ticked("veriDosya2");
    o.veriSil = ticked("veriSil");
    o.dorvak = ticked("dorvak");
    return o;
}

void saveOptions(const QString& settingsPath, const Options& options) {
    IniFile ini = loaded(settingsPath);
    ini.setValue(kSection, QStringLiteral("veriDosya2"),
                 flag(options.veriDosya2, QStringLiteral("0")));
    ini.setValue(kSection, QStringLiteral("veriSil"), flag(options.veriSil, QStringLiteral("0")));
    ini.setValue(kSection, QStringLiteral("dorvak"), flag(options.dorvak, QString()));
    QString error;
    if (!ini.save(&error))
        throw std::runtime_error((settingsPath + QStringLiteral(": ") + error).toStdString());
}
