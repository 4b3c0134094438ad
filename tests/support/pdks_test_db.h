#pragma once
// How a test reaches the PDKS database server that the `mariadb` fixture started
// (scripts/mariadb-test-server.sh, folder mariadb-test of the build tree).

#include <QByteArray>
#include <QString>
#include <QStringList>

struct PdksTestDb {
    QString serverDir;
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString database;

    // The fixture's server and its database "pdks" (schema and seed). Reads server.env of
    // $SELVANO_PDKS_SERVER_DIR, else of the build tree's mariadb-test; QFAIL-worthy
    // (isValid() false, error set) when the server is not running.
    static PdksTestDb fromFixture(QString* error = nullptr);
    bool isValid() const { return port > 0; }

    // A database of its own for one test (name begins with "pdks"), made anew with the schema;
    // the seed too when withSeed. The same server and credentials. Throws std::runtime_error.
    PdksTestDb freshDatabase(const QString& name, bool withSeed = true) const;

    // Settings.ini in folder ([Login] Server, Database; [MySql] User, Password, Port) for this
    // database.
    void writeSettingsIni(const QString& folder) const;

    // Runs statements (UTF-8) through the mariadb command-line client (batch mode, raw, no
    // column names) and returns its standard output, UTF-8. Throws std::runtime_error when the
    // client fails.
    QByteArray client(const QString& statements) const;
};
