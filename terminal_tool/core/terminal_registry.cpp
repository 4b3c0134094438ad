#include "terminal_registry.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
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
    : connectionName_(QStringLiteral("registry-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    if (!QFile::exists(dataDbPath))
        throw std::runtime_error(("Data dosyası bulunamadı: " + dataDbPath).toStdString());
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(dataDbPath);
    // Other connections (the window's list, a worker's registry) may hold the file briefly.
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db_.open())
        fail(db_.lastError());
}

TerminalRegistry::~TerminalRegistry() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

bool TerminalRegistry::createStore(const QString& folder, QString* error, QStringList* created) {
    const QString data = folder + QStringLiteral("Data.db");
    const QString log = folder + QStringLiteral("Log.db");
    const QList<std::pair<QString, QStringList>> files = {
        {data, {QLatin1String(kTerminalTable), QLatin1String(kEnrollInfoTable)}},
        {log, {QStringLiteral("CREATE TABLE Log (ID INTEGER PRIMARY KEY, Text TEXT)")}},
    };
    for (const auto& [path, statements] : files) {
        if (QFileInfo::exists(path))
            continue;
        if (!runScript(path, statements, error)) {
            QFile::remove(path); // a half-made store would pass for an existing one next time
            return false;
        }
        if (created)
            created->append(path);
    }
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

namespace {

// TerminalNo and NetPort are read back as whole numbers when a terminal is opened; SQLite
// would store any text in them, so a value that is not one is refused here.
int wholeNumber(const QString& text, const char* column) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        throw std::runtime_error(QStringLiteral("'%1' geçerli bir tam sayı değil (%2).")
                                     .arg(text.trimmed(), QLatin1String(column))
                                     .toStdString());
    return n;
}

void bindColumns(QSqlQuery& q, const TerminalRecord& row) {
    q.addBindValue(wholeNumber(row.terminalNo, "TerminalNo"));
    q.addBindValue(row.name.trimmed());
    q.addBindValue(row.tip);
    q.addBindValue(row.comPort.trimmed());
    q.addBindValue(row.comBaud.trimmed());
    q.addBindValue(row.ip.trimmed());
    q.addBindValue(wholeNumber(row.netPort, "NetPort"));
    q.addBindValue(row.password.trimmed());
}

} // namespace

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
    if (q.numRowsAffected() == 0)
        throw std::runtime_error(
            QStringLiteral("Terminal kaydı bulunamadı (ID=%1).").arg(row.id).toStdString());
}

void TerminalRegistry::remove(const QString& id) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("delete from Terminal where ID = ?"));
    q.addBindValue(id);
    if (!q.exec())
        fail(q.lastError());
}
