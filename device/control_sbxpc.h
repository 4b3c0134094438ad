#pragma once
// The "SelvanoNorvi" terminal control: the operations the closed SBXPC control offered, under
// its names, argument orders and results, over our own control-family protocol
// (docs/protocol.md, "Control family"). One object serves one terminal link at a time and may be
// used from any one thread at a time.

#include <QString>
#include <memory>
#include <vector>

class TSBXPC {
public:
    TSBXPC();
    ~TSBXPC();
    TSBXPC(const TSBXPC&) = delete;
    TSBXPC& operator=(const TSBXPC&) = delete;

    // Made ready once by the window that hosts it; the link operations work without it too.
    void StartControl();

    // true = logged in to the terminal with that machine number and communication password.
    // An earlier link is closed first (switched back to normal operation if left in write mode).
    bool OpenTcpLink(qint32 machineNumber, QString& ipAddress, qint32 port, qint32 password);

    // flag 0: enter write mode (true = the terminal accepts writes); 1: back to normal operation.
    bool SetDeviceEnabled(qint32 machineNumber, qint32 flag);

    // Stores a card (backup number 11) or a password value (15) for an enrollment number; a
    // number the terminal does not know yet becomes a new user. The enroll-data buffer carries
    // fingerprint data for other backup numbers and is neither sent nor changed for these two.
    bool WriteEnrollment(qint32 machineNumber, qint32 enrollNumber, qint32 enrollMachineNumber,
                         qint32 backupNumber, qint32 privilege, std::vector<qint32>& enrollData,
                         qint32 value);

    // Removes one credential of a user; the user and its other credentials stay.
    bool RemoveEnrollment(qint32 machineNumber, qint32 enrollNumber, qint32 enrollMachineNumber,
                          qint32 backupNumber);

    // The code of the last failure (ControlError), 0 when the last call succeeded.
    bool ReadLastError(qint32& errorCode);

    // Switches the terminal back to normal operation if it was left in write mode, then closes.
    void CloseLink();

    bool isLinked() const;
    // Longest wait for the connection and for each answer.
    void setTimeoutMs(int timeoutMs);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
