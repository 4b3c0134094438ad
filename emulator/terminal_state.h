#pragma once
// What one emulated terminal holds (users, records, bells, clock, status) and its state file.
// Every change is saved at once, atomically, so a test can read the file after each step.

#include "byte_vector.h"
#include "wire_codec.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <map>
#include <vector>

struct EmulatedUser {
    QString enrollNumber;
    QString name;
    QString extraInfo;
    int privilege = 1;
    bool enabled = true;
    int attendanceType = 0;
    int departmentId = 0;
    int groupId = 0;
    int passZone = 0;
    int lockControl = 0;
    bool validPeriodOn = false;
    QDateTime validFrom;
    QDateTime validTo;
    QString password;
    QString card;
    std::map<int, ByteVector> fingerprints; // slot 0..9 -> 498-byte template

    // Bits 0-9 enrolled fingers, 10 password, 11 card.
    int enrollKinds() const;
};

bool operator==(const EmulatedUser& a, const EmulatedUser& b);

class TerminalState {
public:
    // Reads the state file; false with errorText() when it cannot be read.
    bool load(const QString& path);
    // Writes the whole state to its file through a temporary file and a rename.
    bool save();
    QString errorText() const { return error_; }

    // Removes every record (the only way records change after loading).
    void clearRecords();

    // N realistic records (working hours, a few hundred people), sorted by time.
    void generateRecords(int count);

    std::uint32_t deviceNumber = 1;
    QString password = QStringLiteral("0");
    bool clockFromHost = true;
    QDateTime clock;
    int commStatus = 0;
    ByteVector bells;
    std::vector<EmulatedUser> users;
    std::vector<wire::WireRecord> records; // sorted by time
    QJsonObject faults;

    EmulatedUser* findUser(const QString& enrollNumber);
    QDateTime now() const { return clockFromHost ? QDateTime::currentDateTime() : clock; }

private:
    QString path_;
    QString error_;
    QJsonObject extra_;      // keys this emulator does not use, kept as they were
    QByteArray recordsText_; // the records as JSON text, made once while they do not change
    // The users as last saved and the JSON text of each, reused while a user is unchanged.
    std::vector<EmulatedUser> savedUsers_;
    std::vector<QByteArray> savedUserTexts_;

    QByteArray saveText_; // the file's text, its buffer kept for the next save

    // Appends the users as a JSON array, reserving room for the records after them.
    void appendUsersText(QByteArray& text);
};
