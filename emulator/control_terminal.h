#pragma once
// The terminal side of the control family ("SelvanoNorvi"): log-in, write mode, and the cards
// (backup number 11) and password values (15) kept per enrollment number. Answers one decoded
// request frame at a time; serving and fault injection are the emulator's.

#include "frame.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <map>

class ControlTerminal {
public:
    // The state file's object: "device_number", "password", "users", "credentials",
    // "write_mode". Other keys are kept as they are.
    explicit ControlTerminal(const QJsonObject& state);

    // The answer to one request; the answer carries the request's command, device and sequence.
    frame::Frame answer(const frame::Frame& request);

    // A new link starts logged out; write mode survives, as on a terminal whose link dropped.
    void linkClosed();

    // true once after changes that should be saved now: when the terminal leaves write mode or
    // a link ends, as terminals commit written credentials.
    bool takeSaveRequest();
    QJsonObject state() const;

private:
    frame::Frame reply(const frame::Frame& request, std::uint8_t status, qint32 code = 0) const;
    qint32 handle(const frame::Frame& request);

    QJsonObject state_;
    qint32 deviceNumber_ = 1;
    qint32 password_ = 0;
    QSet<qint32> users_;  // enrollment numbers listed in "users"
    QJsonArray userList_; // "users" as the file has them, new users appended
    // enrollment number -> backup number -> value
    std::map<qint32, std::map<qint32, qint32>> credentials_;
    bool writeMode_ = false;
    bool loggedIn_ = false;
    bool changed_ = false;
    bool saveRequested_ = false;
};
