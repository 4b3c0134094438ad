#include "pdks_names.h"

#include "ini_file.h"
#include "prompt.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>
#include <stdexcept>

namespace {
const QString kCannotConnect = QStringLiteral("Veritabanına bağlanamadı....");

std::runtime_error databaseError(const QSqlError& error) {
    return std::runtime_error(error.text().toStdString());
}
} // namespace

void PdksNames::applySettings(const QString& iniPath, Prompt& prompt) {
    IniFile ini(iniPath);
    if (!ini.load()) {
        prompt.warning(kCannotConnect);
        return;
    }
    settings_.server = ini.value(QStringLiteral("Login"), QStringLiteral("Server"));
    settings_.database = ini.value(QStringLiteral("Login"), QStringLiteral("Database"));
    settings_.user = ini.value(QStringLiteral("MySql"), QStringLiteral("User"));
    settings_.password = ini.value(QStringLiteral("MySql"), QStringLiteral("Password"));
    bool ok = false;
    const int port =
        ini.value(QStringLiteral("MySql"), QStringLiteral("Port"), QStringLiteral("3306"))
            .toInt(&ok);
    if (!ok) {
        prompt.warning(kCannotConnect);
        return;
    }
    settings_.port = port;
}

PdksLookup::PdksLookup(const PdksSettings& settings)
    : settings_(settings),
      connectionName_(QStringLiteral("pdks-") + QUuid::createUuid().toString(QUuid::Id128)) {}

PdksLookup::~PdksLookup() {
    if (!opened_)
        return;
    QSqlDatabase::database(connectionName_, false).close();
    QSqlDatabase::removeDatabase(connectionName_);
}

std::optional<QString> PdksLookup::fullName(const QString& cardNumber) {
    if (!opened_) {
        opened_ = true;
        // The driver talks utf8mb4 and the server converts the latin5 columns, so Turkish
        // letters arrive intact; the character set is deliberately left alone.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), connectionName_);
        db.setHostName(settings_.server);
        db.setDatabaseName(settings_.database);
        db.setUserName(settings_.user);
        db.setPassword(settings_.password);
        db.setPort(settings_.port);
        db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=10"));
    }
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen() && !db.open())
        throw databaseError(db.lastError());
    QSqlQuery query(db);
    // The card number travels as a bound text value: a quote or backslash in it stays text.
    query.prepare(QStringLiteral("select kartno,ad,soyad from personel where kartno=?"));
    query.addBindValue(cardNumber);
    if (!query.exec())
        throw databaseError(query.lastError());
    if (!query.next())
        return std::nullopt;
    return query.value(1).toString() + QLatin1Char(' ') + query.value(2).toString();
}
