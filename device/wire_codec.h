#pragma once
// Payload codecs of the terminal protocol (docs/protocol.md): pure functions shared by the
// client and the emulator. Decoders throw DeviceError(DataFormat) on bytes that are not a
// well-formed payload and never read outside the given bytes.

#include "byte_vector.h"
#include "device_error.h"
#include "sdk.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

namespace wire {

// Appends the protocol's primitive values to a byte vector.
class Writer {
public:
    explicit Writer(ByteVector& out) : out_(out) {}
    void u8(std::uint8_t v) { out_.push_back(v); }
    void u32(std::uint32_t v);
    void varint(std::uint64_t v);
    void svarint(std::int64_t v);
    void bytes(const std::uint8_t* data, std::size_t size);
    void bytes(const ByteVector& v) { bytes(v.data(), v.size()); }
    void text(const QString& v);

private:
    ByteVector& out_;
};

// Reads the primitive values back; every read is bounds-checked.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    explicit Reader(const ByteVector& v) : Reader(v.data(), v.size()) {}
    std::uint8_t u8();
    std::uint32_t u32();
    std::uint64_t varint();
    std::int64_t svarint();
    // A varint that must fit an int.
    int intValue();
    ByteVector bytes();
    QString text();
    std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
    bool atEnd() const { return p_ == end_; }
    // Throws unless every byte was read: trailing bytes mean a malformed payload.
    void expectEnd() const;
    [[noreturn]] static void fail(const char* what);

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

// Date-times travel as whole seconds of wall-clock time since 2000-01-01 00:00:00,
// independent of the time zone of either side.
std::int64_t wallSeconds(const QDateTime& time);
QDateTime fromWallSeconds(std::int64_t seconds);

// Six clock bytes: year - 2000, month, day, hour, minute, second.
ByteVector clockBytes(const QDateTime& time);
// false when the bytes are not a valid date and time.
bool clockFromBytes(const ByteVector& bytes, QDateTime& time);

// Requests of GetDeviceData / SetDeviceData: code and both vectors.
struct DeviceRequest {
    std::uint8_t code = 0;
    ByteVector extraProperty;
    ByteVector extraData;
};
ByteVector encodeDeviceRequest(int code, const ByteVector& extraProperty,
                               const ByteVector& extraData);
DeviceRequest decodeDeviceRequest(const ByteVector& payload);

// Requests of GetUserData / SetUserData: code, both vectors and the user.
struct UserRequest {
    std::uint8_t code = 0;
    ByteVector extraProperty;
    ByteVector extraData;
    IUserExt user;
};
ByteVector encodeUserRequest(int code, const ByteVector& extraProperty, const ByteVector& extraData,
                             const IUserExt& user);
UserRequest decodeUserRequest(const ByteVector& payload);

// One user with every attribute and enroll.
void writeUser(Writer& w, const IUserExt& user);
IUserExt readUser(Reader& r);
ByteVector encodeUser(const IUserExt& user);
IUserExt decodeUser(const ByteVector& payload);

// A user list (answer of device-data code 14).
ByteVector encodeUsers(const std::vector<IUserExt>& users);
std::vector<UserPtr> decodeUsers(const ByteVector& payload);

// One attendance record as the terminal keeps it.
struct WireRecord {
    std::int64_t seconds = 0; // wallSeconds of the record time
    QString enrollNumber;
    int terminalNumber = 1;
    int stateCode = 0;
};
// Records sorted by time (sorted here first when they are not), delta-encoded.
ByteVector encodeRecords(const std::vector<WireRecord>& records);
std::vector<IRecordExt> decodeRecords(const ByteVector& payload);

// 32-bit little-endian whole number as ValueToBytes makes it; false for another length.
bool valueFromBytes(const ByteVector& bytes, std::int32_t& value);

} // namespace wire
