#pragma once
// selvanor import: the terminal list (Data.mdb) and the settings of an old Windows
// installation taken over into a folder of this program.

#include "device_session.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class LineSink;
class TerminalRegistry;

// A table as mdb-export prints it: the column names and the rows' values as text.
struct AccessTable {
    QStringList columns;
    QList<QStringList> rows; // each as long as columns
};

// The CSV text of mdb-export (a header line, then one record a row; quoted fields may hold
// line ends). Throws std::runtime_error when there is no header line.
AccessTable parseAccessExport(const QByteArray& csv);

// Reads a table of an Access file through mdb-export of mdbtools, which only reads the file.
// Dates come as "yyyy-MM-dd HH:mm:ss". Throws std::runtime_error with the reason (mdbtools
// missing, file or table unreadable: mdb-export's own message).
AccessTable readAccessTable(const QString& mdbPath, const QString& table,
                            const QString& mdbExport = QStringLiteral("mdb-export"));

// The rows of table Terminal; column names match without regard to letter case, as the old
// program spelled them in several ways. The ID is not kept: the store gives new ones.
// Throws std::runtime_error when the table has no column Terminal.
QList<TerminalRecord> terminalsFromTable(const AccessTable& table);

struct ImportCounts {
    int imported = 0;
    int skipped = 0; // already in the list, equal in every column but the ID
    int failed = 0;  // values the list cannot take (the line says why)
};

// Adds each row that the registry does not hold yet; one line per row on out.
ImportCounts importTerminals(TerminalRegistry& registry, const QList<TerminalRecord>& rows,
                             LineSink& out);

// Copies the keys of sections Options, Login and MySql that oldIni holds into newIni
// (created when missing; its other lines stay). Returns "Section/key" of each copied key.
// Throws std::runtime_error when a file cannot be read or written.
QStringList copyOldSettings(const QString& oldIni, const QString& newIni);
