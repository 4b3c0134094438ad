#pragma once
// A terminal's whole enrollment to and from a backup file, and the listings of the
// enrollment window's "TÜM DATA" page.

#include "enroll_work.h"
#include "pdks_names.h"

#include <QString>
#include <memory>

class LineSink;
class Prompt;

// Adds users to the list, one row each, with their line in Memo1. With names from PDKS, each
// user first takes the name PDKS keeps under its number (padded to 5), cut to 12 characters.
class EnrollRowFiller {
public:
    // names: null when the names stay as the terminal or file gave them.
    EnrollRowFiller(EnrollRowView& rows, LineSink& memo1, const PdksSettings* names);
    ~EnrollRowFiller();

    void addRow(IUserExt& user);
    // Every row's "User Name" := the whole PDKS name of its "User ID", where PDKS has one.
    void namesIntoRows();

    static QStringList rowColumns(int serial, const IUserExt& user);

private:
    PdksLookup& lookup();

    EnrollRowView& rows_;
    LineSink& memo1_;
    const PdksSettings* names_;
    std::unique_ptr<PdksLookup> lookup_;
};

class WholeTransfer {
public:
    // pdksNames: the window's connection settings; lookUpNames: "pdks'den isimleri al" ticked.
    WholeTransfer(DeviceSession& session, EnrollState& state, EnrollRowView& rows, LineSink& memo1,
                  Prompt& prompt, PdksNames& pdksNames, bool lookUpNames);

    // Every user of the terminal with its details into backupPath. The file is replaced only
    // by a complete backup, so a transfer that fails part way keeps the last good one.
    // settingsPath: Settings.ini, read when names are looked up. True on full success.
    bool receiveAll(const QString& backupPath, const QString& settingsPath);

    // Send all in two steps, so the file is checked before the terminal is contacted:
    // the backup into the lists (all rows ticked), then the ticked rows onto the terminal.
    bool loadBackup(const QString& backupPath);
    bool writeTickedRows();
    bool sendAll(const QString& backupPath) { return loadBackup(backupPath) && writeTickedRows(); }

    // The terminal's users as the list read gives them, without details.
    bool listOnly();
    // One user with details, listed but not kept.
    bool oneUser(const QString& userId);
    // PDKS names into the rows shown; the users keep theirs.
    void pdksNamesIntoRows(const QString& settingsPath);

private:
    std::unique_ptr<EnrollRowFiller> filler();
    // Lists the users that device-data code 14 gives for enrollNumber; false when refused.
    bool listRead(const QString& enrollNumber, ByteVector& extraProperty, ByteVector& extraData);
    // Reads each user's details, adding its row; false on the first refusal.
    bool readDetails(const std::vector<UserPtr>& users, EnrollRowFiller& rows,
                     ByteVector& extraProperty, ByteVector& extraData, const QString& failure);

    DeviceSession& session_;
    EnrollState& state_;
    EnrollRowView& rows_;
    LineSink& memo1_;
    Prompt& prompt_;
    PdksNames& pdksNames_;
    bool lookUpNames_;
};
