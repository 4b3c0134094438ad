#pragma once
// Pure codecs of the control family ("SelvanoNorvi" terminals): the request and answer payloads
// carried in the shared frame, the failure codes, and the password value. Shared by the client
// (TSBXPC) and the emulator; the bytes are laid down in docs/protocol.md, "Control family".

#include "byte_vector.h"

#include <QString>
#include <optional>

namespace control {

// Frame commands of the control family.
enum Command : std::uint8_t {
    CmdLink = 0xC1,       // log-in: machine number in the frame, password in the payload
    CmdSetEnabled = 0xC2, // payload: flag
    CmdWrite = 0xC3,      // payload: WriteRequest
    CmdRemove = 0xC4,     // payload: RemoveRequest
    CmdUnlink = 0xC5,     // polite end of the link
};

// Backup numbers of the credentials the terminals keep besides fingerprints.
constexpr qint32 BackupCard = 11;
constexpr qint32 BackupPassword = 15;

// Failure codes that ReadLastError reports. Codes 1-7 come from the terminal in a refusal
// answer; 20 and above are found by the client itself.
enum ErrorCode : qint32 {
    ErrNone = 0,
    ErrLoginRefused = 1,   // wrong machine number or communication password
    ErrNotWriteMode = 2,   // a write while the terminal is in normal operation
    ErrNoSuchEnroll = 3,   // removal of a credential the terminal does not hold
    ErrBadBackup = 4,      // backup number other than 11 and 15
    ErrBadValue = 5,       // enrollment number below 1, or a password value that is not one
    ErrWrongMachine = 6,   // machine number that is not the linked terminal's
    ErrRefused = 7,        // the terminal refused the operation
    ErrNotLinked = 20,     // no link open
    ErrConnectFailed = 21, // the terminal could not be reached
    ErrLinkLost = 22,      // the link broke, timed out or carried a malformed answer
    ErrProtocol = 23,      // an answer the control does not understand
};

// English text of a code, for logs and documentation.
QString errorText(qint32 code);

struct WriteRequest {
    qint32 enrollNumber = 0;
    qint32 enrollMachineNumber = 0;
    qint32 backupNumber = 0;
    qint32 privilege = 0;
    qint32 value = 0;
    bool operator==(const WriteRequest& o) const {
        return enrollNumber == o.enrollNumber && enrollMachineNumber == o.enrollMachineNumber &&
               backupNumber == o.backupNumber && privilege == o.privilege && value == o.value;
    }
};

struct RemoveRequest {
    qint32 enrollNumber = 0;
    qint32 enrollMachineNumber = 0;
    qint32 backupNumber = 0;
    bool operator==(const RemoveRequest& o) const {
        return enrollNumber == o.enrollNumber && enrollMachineNumber == o.enrollMachineNumber &&
               backupNumber == o.backupNumber;
    }
};

// Payloads are 32-bit little-endian whole numbers (wire::Writer::u32). Decoders throw
// DeviceError(DataFormat) on a payload of the wrong size.

// One number: the link password, the enable flag, the error code of a refusal answer.
ByteVector encodeInt(qint32 value);
qint32 decodeInt(const ByteVector& payload);

ByteVector encodeWrite(const WriteRequest& request);
WriteRequest decodeWrite(const ByteVector& payload);
ByteVector encodeRemove(const RemoveRequest& request);
RemoveRequest decodeRemove(const ByteVector& payload);

// The password as the terminals store it: the first six characters, each a decimal digit d kept
// as the 4-bit group d + 1, the first character in bits 0-3; a 0 group ends the password.
// Empty when one of the first six characters is not a decimal digit.
std::optional<qint32> passwordValue(const QString& password);

// Whether a value is one passwordValue gives for a non-empty password: groups 1-10 up to the
// first 0 group, nothing above it, one to six groups.
bool isPasswordValue(qint32 value);

} // namespace control
