#include "pdks_test_db.h"

#include "ini_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <stdexcept>

namespace {

QString serverFolder() {
    const QString given = qEnvironmentVariable("SELVANO_PDKS_SERVER_DIR");
    if (!given.isEmpty())
        return given;
    return QDir(qEnvironmentVariable("SELVANO_BIN_DIR")).absoluteFilePath("../mariadb-test");
}

QByteArray runProcess(const QString& program, const QStringList& arguments,
                      const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        throw std::runtime_error(program.toStdString() + " did not start");
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error(program.toStdString() +
                                 " failed: " + process.readAllStandardError().toStdString());
    return process.readAllStandardOutput();
}

} // namespace

PdksTestDb PdksTestDb::fromFixture(QString* error) {
    PdksTestDb db;
    db.serverDir = QDir(serverFolder()).absolutePath();
    QFile file(db.serverDir + "/server.env");
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("no PDKS test server in %1 (run the tests through ctest, "
                                    "or scripts/mariadb-test-server.sh start DIR)")
                         .arg(db.serverDir);
        return db;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1));
        if (key == "HOST")
            db.host = value;
        else if (key == "PORT")
            db.port = value.toInt();
        else if (key == "USER")
            db.user = value;
        else if (key == "PASSWORD")
            db.password = value;
        else if (key == "DATABASE")
            db.database = value;
    }
    return db;
}

PdksTestDb PdksTestDb::freshDatabase(const QString& name, bool withSeed) const {
    QStringList arguments{QStringLiteral("%1/scripts/mariadb-test-server.sh")
                              .arg(qEnvironmentVariable("SELVANO_SOURCE_DIR")),
                          QStringLiteral("load"), serverDir, name};
    if (withSeed)
        arguments << QStringLiteral("--seed");
    runProcess(QStringLiteral("bash"), arguments);
    PdksTestDb fresh = *this;
    fresh.database = name;
    return fresh;
}

void PdksTestDb::writeSettingsIni(const QString& folder) const {
    IniFile ini(QDir(folder).filePath(QStringLiteral("Settings.ini")));
    ini.setValue("Login", "Server", host);
    ini.setValue("Login", "Database", database);
    ini.setValue("MySql", "User", user);
    ini.setValue("MySql", "Password", password);
    ini.setValue("MySql", "Port", QString::number(port));
    QString error;
    if (!ini.save(&error))
        throw std::runtime_error(error.toStdString());
}

QByteArray PdksTestDb::client(const QString& statements) const {
    return runProcess(QStringLiteral("mariadb"),
                      {QStringLiteral("--no-defaults"), QStringLiteral("--host=") + host,
                       QStringLiteral("--port=%1").arg(port), QStringLiteral("--user=") + user,
                       QStringLiteral("--password=") + password,
                       QStringLiteral("--default-character-set=utf8mb4"), QStringLiteral("--batch"),
                       QStringLiteral("--raw"), QStringLiteral("--skip-column-names"), database},
                      statements.toUtf8());
}
