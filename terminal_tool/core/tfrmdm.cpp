#include "tfrmdm.h"

#include "terminal_registry.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QUuid>
#include <stdexcept>

namespace {
const QString kTerminalList = QStringLiteral("select * from Terminal order by Terminal");
}

TfrmDM::TfrmDM(const QString& programFolder)
    : qrycihaz(new QSqlQueryModel), programFolder_(programFolder),
      logConnectionName_(QStringLiteral("log-") + QUuid::createUuid().toString(QUuid::Id128)) {}

TfrmDM::~TfrmDM() {
    // The model's query and the copies of the connections must go before the connections.
    delete qrycihaz;
    ADOConnection1 = QSqlDatabase();
    registry_.reset();
    closeLogDb();
}

bool TfrmDM::openDataDb() {
    qrycihaz->clear();
    ADOConnection1 = QSqlDatabase();
    registry_.reset();
    if (!QFileInfo::exists(dataDbPath()))
        return false;
    registry_ = std::make_unique<TerminalRegistry>(dataDbPath());
    ADOConnection1 = registry_->database();
    return true;
}

bool TfrmDM::openLogDb() {
    closeLogDb();
    if (!QFileInfo::exists(logDbPath()))
        return false;
    ADOConnection2 = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), logConnectionName_);
    ADOConnection2.setDatabaseName(logDbPath());
    if (!ADOConnection2.open())
        throw std::runtime_error(ADOConnection2.lastError().text().toStdString());
    // SQLite opens lazily; reading the schema finds a file that is no database.
    QSqlQuery probe(ADOConnection2);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
        throw std::runtime_error(probe.lastError().text().toStdString());
    return true;
}

void TfrmDM::closeLogDb() {
    if (!ADOConnection2.isValid())
        return;
    ADOConnection2.close();
    ADOConnection2 = QSqlDatabase();
    QSqlDatabase::removeDatabase(logConnectionName_);
}

void TfrmDM::requeryTerminals() {
    qrycihaz->clear();
    if (!ADOConnection1.isOpen())
        throw std::runtime_error(QStringLiteral("Terminal listesi açılamadı: %1 açık değil.")
                                     .arg(dataDbPath())
                                     .toStdString());
    QSqlQuery query(ADOConnection1);
    if (!query.exec(kTerminalList))
        throw std::runtime_error(query.lastError().text().toStdString());
    qrycihaz->setQuery(std::move(query));
    while (qrycihaz->canFetchMore())
        qrycihaz->fetchMore();
    if (qrycihaz->lastError().isValid()) {
        const QString text = qrycihaz->lastError().text();
        qrycihaz->clear();
        throw std::runtime_error(text.toStdString());
    }
}

TerminalRegistry& TfrmDM::registry() {
    if (!registry_)
        throw std::runtime_error(QStringLiteral("%1 açık değil.").arg(dataDbPath()).toStdString());
    return *registry_;
}
