#pragma once
// SelvanoR's data module: the connections to the local store (Data.db, Log.db) and to the
// PDKS database, and the queries on them that the windows share. Used on the window thread
// only; work on a worker thread opens a TerminalRegistry of its own.

#include <QSqlDatabase>
#include <QString>
#include <memory>

class QSqlQueryModel;
class TerminalRegistry;

class TfrmDM {
public:
    explicit TfrmDM(const QString& programFolder);
    ~TfrmDM();
    TfrmDM(const TfrmDM&) = delete;
    TfrmDM& operator=(const TfrmDM&) = delete;

    QString programFolder() const { return programFolder_; }
    QString dataDbPath() const { return programFolder_ + QStringLiteral("Data.db"); }
    QString logDbPath() const { return programFolder_ + QStringLiteral("Log.db"); }

    // Open ADOConnection1 on Data.db / ADOConnection2 on Log.db, closing any earlier
    // connection first. False when the file does not exist (nothing is created);
    // std::runtime_error with the database's text when it cannot be opened.
    bool openDataDb();
    bool openLogDb();

    // Runs "select * from Terminal order by Terminal" into qrycihaz and reads every row, so no
    // statement stays open on the file. On failure the list is left empty and
    // std::runtime_error carries the database's text.
    void requeryTerminals();

    // The table Terminal over ADOConnection1 (the scratch query's work: look up, add, change,
    // delete). Throws std::runtime_error when Data.db is not open.
    TerminalRegistry& registry();

    QSqlDatabase ADOConnection1;        // Data.db
    QSqlDatabase ADOConnection2;        // Log.db
    QSqlDatabase MyConnection1;         // PDKS (MySQL)
    QSqlQueryModel* qrycihaz = nullptr; // "select * from Terminal order by Terminal"

private:
    void closeLogDb();

    QString programFolder_;
    std::unique_ptr<TerminalRegistry> registry_;
    QString logConnectionName_;
};
