#pragma once
// The terminal SDK objects under their established names. The vendor's closed component
// is replaced by our own protocol client (see docs/protocol.md); the operations, argument
// orders and results are those every caller relies on.

#include "byte_vector.h"
#include "device_error.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// Device parameters, written before OpenConnection.
struct IDevice {
    int DeviceNumber = 0;
    QString Password;
    int ConnectOption = 0;
    QString Model;
    int ConnectionKind = -1; // 0 serial, 1 TCP/IP, 2 USB; -1 not set
    int BaudRate = 0;
    QString IpAddress;
    int NetworkPort = 0;
    // Serial and USB: the character device to open (a path such as /dev/ttyS0 or /dev/pts/5).
    QString SerialPortName;
    // Longest wait for any answer; a terminal that does not answer fails within it.
    int TimeoutMs = 5000;
};
using DevicePtr = std::shared_ptr<IDevice>;
DevicePtr CoDevice();

struct IEnrollExt {
    QString EnrollNumber;
    // Bits 0-9 finger slots, bit 10 password, bit 11 card; the fingerprint actions
    // carry the finger number here instead.
    int EnrollKinds = 0;
    ByteVector FingerprintData;
    QString Password;
    QString CardNumber;
};

struct IUserExt {
    QString EnrollNumber;
    int Privilege = 1;
    QString UserName;
    QString ExtraInfo;
    bool Enabled = true;
    int AttendanceType = 0;
    int DepartmentId = 0;
    int GroupId = 0;
    int PassZone = 0;
    int LockControl = 0;
    bool ValidPeriodOn = false;
    QDateTime ValidFrom;
    QDateTime ValidTo;
    // Never empty: a new user carries one enroll object, which every caller uses.
    std::vector<IEnrollExt> Enrolls{IEnrollExt{}};
};
// Users are shared: the loaded user list and the whole-set array hold the same objects.
using UserPtr = std::shared_ptr<IUserExt>;
UserPtr CoUserExt();

struct IRecordExt {
    int TerminalNumber = 0;
    QString EnrollNumber;
    QDateTime RecordTime;
    int StateCode = 0;
};

class Transport;

class TZd2911DeviceConnection {
public:
    TZd2911DeviceConnection();
    ~TZd2911DeviceConnection();
    TZd2911DeviceConnection(const TZd2911DeviceConnection&) = delete;
    TZd2911DeviceConnection& operator=(const TZd2911DeviceConnection&) = delete;

    // Above 0: connected. 0 or below: no link (unreachable, log-in refused).
    int OpenConnection(IDevice& device);
    void CloseConnection();
    bool IsOpen() const;

    // false = the terminal refused; a broken link, time-out or malformed answer throws DeviceError.
    bool GetDeviceData(int code, ByteVector& extraProperty, IDevice& device, ByteVector& extraData);
    bool SetDeviceData(int code, ByteVector& extraProperty, IDevice& device,
                       const ByteVector& extraData);
    // User data: extraData is neither sent nor changed (no user-data code reads it).
    bool GetUserData(int code, ByteVector& extraProperty, IUserExt& user, ByteVector& extraData);
    bool SetUserData(int code, ByteVector& extraProperty, IUserExt& user, ByteVector& extraData);

    // Called while a long answer (records, users) arrives: bytes received so far, total.
    void setProgressHandler(std::function<void(qint64, qint64)> handler);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class TZd2911Tools {
public:
    // type 3: a 32-bit little-endian whole number.
    static ByteVector ValueToBytes(const QString& decimalText, int type);
    // "0" stands for all users.
    static ByteVector EnrollNumberToBytes(const QString& enrollNumber);
    // Throw DeviceError(DataFormat) on bytes that are not a well-formed answer.
    static std::vector<UserPtr> BytesToUsers(const ByteVector& bytes);
    static std::vector<IRecordExt> BytesToRecords(const ByteVector& bytes);
    static bool HasEnrollKind(int kindMask, int kind);
    static int AddEnrollKind(int kindMask, int kind);
};

// Whole enrollment sets and single users in files of our own versioned, checked format.
class TZd2911EnrollFile {
public:
    static bool SaveAllEnrolls(const QString& path, const std::vector<UserPtr>& users);
    // false on a missing, truncated, corrupt or foreign file; users is then left unchanged.
    static bool LoadAllEnrolls(const QString& path, std::vector<UserPtr>& users);
    static bool SaveOneEnroll(const QString& path, const IUserExt& user);
    static bool LoadOneEnroll(const QString& path, IUserExt& user);
};
