#include "pdks_settings.h"

#include "ini_file.h"

#include <QSqlDatabase>

PdksSettings PdksSettings::read(const QString& settingsPath, bool* readable) {
    IniFile ini(settingsPath);
    const bool loaded = ini.load();
    if (readable)
        *readable = loaded;
    PdksSettings s;
    s.server = ini.value(QStringLiteral("Login"), QStringLiteral("Server"));
    s.database = ini.value(QStringLiteral("Login"), QStringLiteral("Database"));
    s.user = ini.value(QStringLiteral("MySql"), QStringLiteral("User"));
    s.password = ini.value(QStringLiteral("MySql"), QStringLiteral("Password"));
    s.port = ini.value(QStringLiteral("MySql"), QStringLiteral("Port"), s.port);
    return s;
}

void PdksSettings::applyTo(QSqlDatabase& db, int portNumber) const {
    db.setHostName(server);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(password);
    db.setPort(portNumber);
    // Reads get longer than the connect: a large company's personnel list is one answer.
    db.setConnectOptions(QStringLiteral(
        "MYSQL_OPT_CONNECT_TIMEOUT=5;MYSQL_OPT_READ_TIMEOUT=60;MYSQL_OPT_WRITE_TIMEOUT=60"));
}
