#include "sdk.h"

// Placeholder bodies until the protocol client lands.

DevicePtr CoDevice() { return std::make_shared<IDevice>(); }
UserPtr CoUserExt() { return std::make_shared<IUserExt>(); }

struct TZd2911DeviceConnection::Impl {};

TZd2911DeviceConnection::TZd2911DeviceConnection() : impl_(std::make_unique<Impl>()) {}
TZd2911DeviceConnection::~TZd2911DeviceConnection() = default;
int TZd2911DeviceConnection::OpenConnection(IDevice&) { return 0; }
void TZd2911DeviceConnection::CloseConnection() {}
bool TZd2911DeviceConnection::IsOpen() const { return false; }
static bool notConnected() {
    throw DeviceError(DeviceError::Kind::Io, QStringLiteral("not connected"));
}
bool TZd2911DeviceConnection::GetDeviceData(int, ByteVector&, IDevice&, ByteVector&) {
    return notConnected();
}
bool TZd2911DeviceConnection::SetDeviceData(int, ByteVector&, IDevice&, const ByteVector&) {
    return notConnected();
}
bool TZd2911DeviceConnection::GetUserData(int, ByteVector&, IUserExt&, ByteVector&) {
    return notConnected();
}
bool TZd2911DeviceConnection::SetUserData(int, ByteVector&, IUserExt&, ByteVector&) {
    return notConnected();
}
void TZd2911DeviceConnection::setProgressHandler(std::function<void(qint64, qint64)>) {}

ByteVector TZd2911Tools::ValueToBytes(const QString& decimalText, int) {
    const qint64 v = decimalText.trimmed().toLongLong();
    ByteVector b(4);
    for (int i = 0; i < 4; ++i)
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
    return b;
}
ByteVector TZd2911Tools::EnrollNumberToBytes(const QString& n) {
    const QByteArray u = n.toUtf8();
    return ByteVector(u.begin(), u.end());
}
std::vector<UserPtr> TZd2911Tools::BytesToUsers(const ByteVector&) { return {}; }
std::vector<IRecordExt> TZd2911Tools::BytesToRecords(const ByteVector&) { return {}; }
bool TZd2911Tools::HasEnrollKind(int mask, int kind) { return (mask >> kind) & 1; }
int TZd2911Tools::AddEnrollKind(int mask, int kind) { return mask | (1 << kind); }

bool TZd2911EnrollFile::SaveAllEnrolls(const QString&, const std::vector<UserPtr>&) {
    return false;
}
bool TZd2911EnrollFile::LoadAllEnrolls(const QString&, std::vector<UserPtr>&) { return false; }
bool TZd2911EnrollFile::SaveOneEnroll(const QString&, const IUserExt&) { return false; }
bool TZd2911EnrollFile::LoadOneEnroll(const QString&, IUserExt&) { return false; }
