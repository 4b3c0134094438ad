#pragma once
// The terminal's 24 bells: the bell table's codec, the texts of the bell window's rows, and
// the read and send operations shared by the bell window and the bells command.

#include "byte_vector.h"

#include <QString>
#include <array>
#include <optional>

class DeviceSession;
class Prompt;

constexpr int BellCount = 24;
constexpr int BellTableSize = BellCount * BellRecordSize;
// Day code stored for a bell without a chosen day.
constexpr int BellNoDay = 255;
// Day codes 0 (every day) to 7 (Saturday) are the positions of the day list.
constexpr int BellLastDay = 7;

// The visible part of one bell record (bytes 0 to 3).
struct Bell {
    int hour = 0;
    int minute = 0;
    int day = BellNoDay;
    int duration = 0;
    bool operator==(const Bell& other) const {
        return hour == other.hour && minute == other.minute && day == other.day &&
               duration == other.duration;
    }
};
using BellList = std::array<Bell, BellCount>;

// One row of the bell window as the user left it.
struct BellRow {
    QString time;      // sa<n>
    int dayIndex = -1; // gun<n>: selected position, -1 none
    QString duration;  // sure<n>
};
using BellRows = std::array<BellRow, BellCount>;

// Reads the 24 bells of a bell table. An hour above 23, a minute above 59 or a table shorter
// than 192 bytes gives nothing and an error naming the bad bell.
std::optional<BellList> decodeBellTable(const ByteVector& table, QString* error);

// Overwrites bytes 0 to 3 of every bell record from the rows; bytes 4 to 7 stay as they are.
// A time or duration that cannot be read leaves the table unchanged and names the bell row.
bool encodeBellRows(const BellRows& rows, ByteVector& table, QString* error);

// A time text read with the process-wide time separator: hour and minute, seconds optional
// (and dropped). False when it is not a time of day.
bool parseBellTime(const QString& text, int& hour, int& minute);

// The time of a bell as the bell window shows it: the process-wide long time format, 0 seconds.
QString bellTimeText(const Bell& bell);

// The row the bell window shows for a bell; a day code above 7 selects nothing.
BellRow bellRowFor(const Bell& bell);

// Reads the bell table inside the busy/idle wrap. Shows "Get alarm: Fail" or, for a malformed
// answer, which bell is bad; the bells only when every one of them could be read.
std::optional<BellList> readBells(DeviceSession& session, Prompt& prompt);

// Sends the rows on top of the table the terminal holds now: busy, one read, one write, idle.
// Closes with "Zil saatleri yüklendi" or "HATA!!!! yüklenemedi...." (followed by the reason
// when a row could not be read). The idle status is sent on every way out after the busy one.
bool sendBells(DeviceSession& session, const BellRows& rows, Prompt& prompt);
