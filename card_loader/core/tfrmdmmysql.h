#pragma once
// The data module of cardpush: the one connection to the PDKS database and the queries and
// tables the windows show. Lives on the window thread for the whole run.

#include "pdks_settings.h"
#include "personnel_query.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlTableModel>
#include <QStringList>
#include <array>
#include <optional>

class Prompt;

// One look-up list: shown names and kept ids, entry 0 empty in both.
struct LookupList {
    QStringList names;
    QStringList ids;
};

class TfrmDMMYSQL {
    // Registers the connection first and removes it last, after every query and table
    // holding it is gone.
    struct Registration {
        Registration();
        ~Registration();
        QString name;
    } registration_;

public:
    TfrmDMMYSQL();
    TfrmDMMYSQL(const TfrmDMMYSQL&) = delete;
    TfrmDMMYSQL& operator=(const TfrmDMMYSQL&) = delete;

    // Next free code of a numbered text column: the greatest value read as a whole number,
    // plus one ("1" on an empty table), as decimal text without padding. Throws
    // std::runtime_error with the database's text.
    QString NextCode(const QString& table, const QString& column);

    // The database's text for the last failure of query, or why the connection is not open.
    QString errorText(const QSqlError& error) const;

    QSqlDatabase MyConnection1;
    QSqlQuery MyQuery1;
    QSqlQueryModel qryper;
    QSqlQueryModel qrycihaz;
    QSqlTableModel tblterminaller;
};

// Reads Settings.ini, sets the connection values and opens the connection. A failure to open
// is shown once as the "UYARI" warning "Veritabanına bağlanamadı...."; the result is the
// caption suffix "      [Server=..,  Veritabanı=..]" either way. A Port that is not a whole
// number is reported as an error before any attempt: no suffix then.
std::optional<QString> ConnectDatabase(TfrmDMMYSQL& dm, const QString& settingsPath,
                                       Prompt& prompt);

// The six look-up lists in the order of kLookupTables. A table that cannot be read is reported
// and leaves its list and the ones after it with only the empty entry.
std::array<LookupList, 6> LoadLookupLists(TfrmDMMYSQL& dm, Prompt& prompt);

// Runs PersonnelQuery(filter) into qryper. The number of rows, or nothing after the database's
// error was reported.
std::optional<int> LoadPersonnel(TfrmDMMYSQL& dm, const PersonnelFilter& filter, Prompt& prompt);

// qrycihaz := "select * from terminaller where secim=1". False after reporting an error.
bool LoadChosenTerminals(TfrmDMMYSQL& dm, Prompt& prompt);
