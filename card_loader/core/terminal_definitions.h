#pragma once
// The terminal table terminaller as the definition window edits it (tblterminaller), and the
// connection check of one of its rows.

#include <QString>

struct IDevice;
class Prompt;
class QSqlRecord;
class TfrmDMMYSQL;

// One row of terminaller, values trimmed of blanks around them.
struct TerminalValues {
    QString kod;
    QString ad;
    QString source; // IP address
    QString port;   // Baudrate_Remote_Port
    QString deviceNum;
    QString commPassword;
    QString cihaztipi;
    bool secim = false;
};
TerminalValues terminalValuesFromRecord(const QSqlRecord& record);

// Device types with a way to reach them.
extern const QString kSelvanoR;
extern const QString kSelvanoNorvi;

// Closes and reopens tblterminaller on the whole table. False after reporting an error.
bool OpenTerminalTable(TfrmDMMYSQL& dm, Prompt& prompt);

// Inserts a row at row with the new-row defaults (kod from NextCode padded to 2, then modultipi,
// cihaztipi, aktarimtipi, CommPassword, Baudrate_Remote_Port, Device_Num, secim). Not yet
// posted. False after reporting an error.
bool tblterminallerNewRecord(TfrmDMMYSQL& dm, int row, Prompt& prompt);

// Writes the edited and new rows to the database. On failure the error is reported and the
// rows stay in edit, so the user can correct or cancel them.
bool PostTerminalRows(TfrmDMMYSQL& dm, Prompt& prompt);

// Flips secim of row and posts at once.
bool ToggleTerminalChoice(TfrmDMMYSQL& dm, int row, Prompt& prompt);

// "Seçili Kaydı Sil": nothing on an empty table; otherwise asks and, unless the answer is No,
// deletes row. True when a row was deleted.
bool DeleteTerminalRow(TfrmDMMYSQL& dm, int row, Prompt& prompt);

// Label of a terminal in messages and logs: a blank, name, " (", IP address, ") ".
QString terminalLabel(const TerminalValues& terminal);

// Writes the row's values into a fresh device object: always TCP/IP. Throws
// std::runtime_error when Device_Num or the port is not a whole number.
void ConfigureDevice(IDevice& device, const TerminalValues& terminal);

// "Bağlantı Kontrol": connects to the terminal with the row's values, says whether it answered,
// and disconnects: SelvanoR terminals through the SDK, SelvanoNorvi ones through the terminal
// control; other types cannot be reached from cardpush. Values that are not whole numbers are
// reported as errors.
void CheckTerminalConnection(const TerminalValues& terminal, Prompt& prompt);
