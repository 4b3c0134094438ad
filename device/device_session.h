#pragma once
// The open link to one terminal: device object, connection and tools, rebuilt on every
// opening, and the busy/idle status wrap put around most device work.

#include "sdk.h"

#include <QString>
#include <memory>

class Prompt;

// One terminal row as SelvanoR's table Terminal stores it (all columns as text).
struct TerminalRecord {
    QString id;
    QString terminalNo;
    QString name; // column Terminal
    QString tip;  // "com", "ethernet", "usb"
    QString comPort;
    QString comBaud;
    QString ip;
    QString netPort;
    QString password; // column Sifre
};

class DeviceSession {
public:
    DeviceSession();
    ~DeviceSession();

    // Closes any earlier link, builds a new device object and components from the row and
    // connects. Throws DeviceError(DataFormat) when TerminalNo or NetPort is not a whole number.
    bool OpenSession(const TerminalRecord& row);
    void CloseSession();
    bool isOpen() const;

    // Busy status; on refusal shows "Setting device communication status to busy: Fail."
    // (prompt may be null to stay silent) and returns false: the operation must not go on.
    bool BeginDeviceWork(ByteVector& extraProperty, Prompt* prompt);
    // Idle status, whatever the operation's outcome; reports a refusal.
    bool EndDeviceWork(ByteVector& extraProperty, Prompt* prompt);

    IDevice& device() { return *device_; }
    TZd2911DeviceConnection& connection() { return *connection_; }
    TZd2911Tools& tools() { return tools_; }

    QString terminalName() const { return terminalName_; }
    QString sessionIp() const { return sessionIp_; }
    void clearSessionIp() { sessionIp_.clear(); }

    // Serial port path of a row: n names the n-th serial port, a path stands as it is,
    // USB rows without a path use the first USB serial device.
    static QString serialPortFor(const TerminalRecord& row);

private:
    DevicePtr device_;
    std::unique_ptr<TZd2911DeviceConnection> connection_;
    TZd2911Tools tools_;
    QString terminalName_;
    QString sessionIp_;
};
