#pragma once
// The terminal list (table Terminal of Data.db) and the scratch table ENROLLINFO.
// Each registry object opens its own connection, so a worker thread can make one of its own.

#include "device_session.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

class TerminalRegistry {
public:
    // dataDbPath: the store's Data.db. Throws std::runtime_error when it cannot be opened.
    explicit TerminalRegistry(const QString& dataDbPath);
    ~TerminalRegistry();
    TerminalRegistry(const TerminalRegistry&) = delete;
    TerminalRegistry& operator=(const TerminalRegistry&) = delete;

    // Makes Data.db (tables Terminal and ENROLLINFO) and Log.db in folder where missing;
    // an existing file is never changed. False with a reason on failure; created lists the
    // files made.
    static bool createStore(const QString& folder, QString* error, QStringList* created = nullptr);

    // "select * from Terminal order by Terminal"
    QList<TerminalRecord> list() const;
    std::optional<TerminalRecord> byName(const QString& name) const;
    std::optional<TerminalRecord> byId(const QString& id) const;
    // Values are stored trimmed; TerminalNo and NetPort must be whole numbers.
    // Returns the new row's ID. Throws std::runtime_error with the database's text.
    QString insert(const TerminalRecord& row);
    // By row.id; throws when the row is no longer there.
    void update(const TerminalRecord& row);
    void remove(const QString& id);

    QSqlDatabase database() const { return db_; }

private:
    QString connectionName_;
    QSqlDatabase db_;
};

// Reads one row of a query on Terminal, whatever the letter case of its column names.
TerminalRecord terminalFromRecord(const class QSqlRecord& record);
