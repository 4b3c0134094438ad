#pragma once
// How both programs reach the PDKS database: the keys of Settings.ini ([Login] Server and
// Database, [MySql] User, Password and Port) and the MySQL connection made from them.

#include <QString>

class QSqlDatabase;

struct PdksSettings {
    QString server;
    QString database;
    QString user;
    QString password;
    QString port = QStringLiteral("3306"); // as written; each caller converts it its own way

    // Missing file, section or key gives the default. readable (when given) is false when an
    // existing file cannot be read; the values are then the defaults.
    static PdksSettings read(const QString& settingsPath, bool* readable = nullptr);

    // Sets server, database, user, password and the converted port on a QMYSQL connection,
    // with time-outs that make a dead server fail within seconds. The character set is left
    // alone: the driver talks utf8mb4 and the server converts the latin5 columns both ways, so
    // Turkish letters arrive intact (SET NAMES latin5 would double-encode what is written).
    void applyTo(QSqlDatabase& db, int portNumber) const;
};
