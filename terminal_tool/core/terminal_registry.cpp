#include "terminal_registry.h"

#include <QAtomicInt>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <stdexcept>

namespace {

QAtomicInt connectionCounter;

[[noreturn]] void fail(const QSqlError& error) {
    throw std::runtime_error(error.text().toStdString());
}

QString field(const QSqlRecord& r, const char* name) {
    for (int i = 0; i < r.count(); ++i)
        if (r.fieldName(i).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return r.value(i).toString();
    return QString();
}

const char* kTerminalTable = "CREATE TABLE Terminal ("
                             "ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                             "TerminalNo INTEGER, Terminal TEXT, Tip TEXT,"
                             "ComPort TEXT, ComBaud TEXT, Ip TEXT, NetPort INTEGER, Sifre TEXT)";
const char* kEnrollInfoTable = "CREATE TABLE ENROLLINFO ("
                               "No INTEGER, EnNo TEXT, Fp TEXT, Priv TEXT)";

bool runScript(const QString& path, const QStringList& statements, QString* error) {
    const QString name = QStringLiteral("create-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            *error = db.lastError().text();
            ok = false;
        } else {
            QSqlQuery q(db);
            for (const QString& s : statements) {
                if (!q.exec(s)) {
                    *error = q.lastError().text();
                    ok = false;
                    break;
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

TerminalRecord terminalFromRecord(const QSqlRecord& r) {
    TerminalRecord t;
    t.id = field(r, "ID");
    t.terminalNo = field(r, "TerminalNo");
    t.name = field(r, "Terminal");
    t.tip = field(r, "Tip");
    t.comPort = field(r, "ComPort");
    t.comBaud = field(r, "ComBaud");
    t.ip = field(r, "Ip");
    t.netPort = field(r, "NetPort");
    t.password = field(r, "Sifre");
    return t;
}

TerminalRegistry::TerminalRegistry(const QString& dataDbPath)
    : connectionName_(
          QStringLiteral("registry-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    if (!QFile::exists(dataDbPath))
        throw std::runtime_error(("Data dosyası bulunamadı: " + dataDbPath).toStdString());
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(dataDbPath);
    if (!db_.open())
        fail(db_.lastError());
}

TerminalRegistry::~TerminalRegistry() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

bool TerminalRegistry::createStore(const QString& folder, QString* error) {
    const QString data = folder + QStringLiteral("Data.db");
    const QString log = folder + QStringLiteral("Log.db");
    if (!QFile::exists(data) &&
        !runScript(data, {QLatin1String(kTerminalTable), QLatin1String(kEnrollInfoTable)}, error))
        return false;
    if (!QFile::exists(log) &&
        !runScript(log, {QStringLiteral("CREATE TABLE Log (ID INTEGER PRIMARY KEY, Text TEXT)")},
                   error))
        return false;
    return true;
}

QList<TerminalRecord> TerminalRegistry::list() const {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("select * from Terminal order by Terminal")))
        fail(q.lastError());
    QList<TerminalRecord> rows;
    while (q.next())
        rows.append(terminalFromRecord(q.record()));
    return rows;
}

std::optional<TerminalRecord> TerminalRegistry::byName(const QString& name) const {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("select * from Terminal where Terminal = ? order by ID"));
    q.addBindValue(name);
    if (!q.exec())
        fail(q.lastError());
    if (!q.next())
        return std::nullopt;
    return terminalFromRecord(q.record());
}

std::optional<TerminalRecord> TerminalRegistry::byId(const QString& id) const {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("select * from Terminal where ID = ?"));
    q.addBindValue(id);
    if (!q.exec())
        fail(q.lastError());
    if (!q.next())
        return std::nullopt;
    return terminalFromRecord(q.record());
}

static void bindColumns(QSqlQuery& q, const TerminalRecord& row) {
    q.addBindValue(row.terminalNo.trimmed());
    q.addBindValue(row.name.trimmed());
    q.addBindValue(row.tip);
    q.addBindValue(row.comPort.trimmed());
    q.addBindValue(row.comBaud.trimmed());
    q.addBindValue(row.ip.trimmed());
    q.addBindValue(row.netPort.trimmed());
    q.addBindValue(row.password.trimmed());
}

QString TerminalRegistry::insert(const TerminalRecord& row) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("insert into Terminal (TerminalNo, Terminal, Tip, ComPort, ComBaud, "
                             "Ip, NetPort, Sifre) values (?, ?, ?, ?, ?, ?, ?, ?)"));
    bindColumns(q, row);
    if (!q.exec())
        fail(q.lastError());
    return q.lastInsertId().toString();
}

void TerminalRegistry::update(const TerminalRecord& row) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("update Terminal set TerminalNo = ?, Terminal = ?, Tip = ?, "
                             "ComPort = ?, ComBaud = ?, Ip = ?, NetPort = ?, Sifre = ? "
                             "where ID = ?"));
    bindColumns(q, row);
    q.addBindValue(row.id);
    if (!q.exec())
        fail(q.lastError());
}

void TerminalRegistry::remove(const QString& id) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("delete from Terminal where ID = ?"));
    q.addBindValue(id);
    if (!q.exec())
        fail(q.lastError());
}
