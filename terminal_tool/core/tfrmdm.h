#pragma once
// SelvanoR's data module: the connections to the local store (Data.db, Log.db) and to the
// PDKS database, and the queries on them that the windows share.

#include <QSqlDatabase>
#include <QString>

class QSqlQueryModel;

class TfrmDM {
public:
    explicit TfrmDM(const QString& programFolder);
    ~TfrmDM();
    TfrmDM(const TfrmDM&) = delete;
    TfrmDM& operator=(const TfrmDM&) = delete;

    QString programFolder() const { return programFolder_; }

    QSqlDatabase ADOConnection1; // Data.db
    QSqlDatabase ADOConnection2; // Log.db
    QSqlDatabase MyConnection1;  // PDKS (MySQL)
    QSqlQueryModel* qrycihaz = nullptr; // "select * from Terminal order by Terminal"

private:
    QString programFolder_;
};
