#pragma once
// What the enrollment window keeps between its operations, the list of users it shows, and
// the busy/idle wrap its device operations share.

#include "device_session.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Prompt;

// Enroll kinds beyond the ten finger slots.
constexpr int KindPassword = 10;
constexpr int KindCard = 11;
// User-data code carrying a whole user with its enrolls; device-data code listing users
// (deleting one when written).
constexpr int CodeUserDetail = 1;
constexpr int CodeUserList = 14;

// The window's memory, alive as long as the window: nothing here is reset between openings.
struct EnrollState {
    // One fingerprint template, shown in the fingerprint memo.
    ByteVector fingerprint = NewByteVector(FingerprintTemplateSize);
    // Kept by a successful detail read, reused by the detail write.
    UserPtr detailUser;
    // Users of the last whole-terminal read or file load; the whole-set array holds the
    // same objects as handed to and returned by the enroll file.
    std::vector<UserPtr> loadedUsers;
    std::vector<UserPtr> wholeSet;
};

// Column order of the user list.
enum EnrollColumn {
    ColSn = 0,
    ColUserId = 1,
    ColUserName = 2,
    ColFp0 = 3, // FP 0 .. FP 9 follow
    ColPwd = 13,
    ColCard = 14,
    ColPrivilege = 15,
    EnrollColumnCount = 16
};
QStringList enrollColumnTitles();

// The user list as operations see it: rows of 16 texts, each with a tick.
class EnrollRowView {
public:
    virtual ~EnrollRowView() = default;
    virtual void clearRows() = 0;
    // Appends an unticked row.
    virtual void addRow(const QStringList& columns) = 0;
    virtual int rowCount() const = 0;
    virtual QString text(int row, int column) const = 0;
    virtual void setText(int row, int column, const QString& text) = 0;
    virtual bool isTicked(int row) const = 0;
    virtual void tickAll() = 0;
};

// The list without a screen (command line, tests).
class EnrollRowTable : public EnrollRowView {
public:
    struct Row {
        QStringList columns;
        bool ticked = false;
    };

    void clearRows() override { rows_.clear(); }
    void addRow(const QStringList& columns) override { rows_.push_back({columns, false}); }
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    QString text(int row, int column) const override;
    void setText(int row, int column, const QString& text) override;
    bool isTicked(int row) const override;
    void tickAll() override;
    void setTicked(int row, bool ticked);

    const std::vector<Row>& rows() const { return rows_; }

private:
    std::vector<Row> rows_;
};

// Trimmed as the window's texts are: blanks and control characters removed at both ends.
QString trimmedText(const QString& text);

// Runs body between the busy and the idle status. When the busy status is refused nothing
// runs and false is returned. The idle status is sent however body ends, an error included,
// so the terminal is never left busy; the error then goes on to the caller.
// Returns body's result and-ed with the idle status's.
bool runWithDeviceWork(DeviceSession& session, ByteVector& extraProperty, Prompt& prompt,
                       const std::function<bool()>& body);
