#include "pdks_names.h"

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
    bool readable = false;
    PdksSettings read = PdksSettings::read(iniPath, &readable);
    if (!readable) {
        prompt.warning(kCannotConnect);
        return;
    }
    bool portIsNumber = false;
    read.port.toInt(&portIsNumber);
    if (!portIsNumber) {
        // The steps before the port stand; the port stays the last one that was a number.
        read.port = settings_.port;
        prompt.warning(kCannotConnect);
    }
    settings_ = read;
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
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), connectionName_);
        settings_.applyTo(db, settings_.port.toInt());
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
