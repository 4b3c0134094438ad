// Enroll files: whole enrollment sets and single users in a versioned, checked format of our
// own (docs/protocol.md, "Enroll files").
#include "frame.h"
#include "sdk.h"
#include "wire_codec.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr std::uint8_t FileMagic[4] = {'S', 'V', 'E', 'F'};
constexpr std::uint8_t FileVersion = 1;
enum FileKind : std::uint8_t { AllEnrolls = 1, OneEnroll = 2 };
constexpr std::size_t FileHeaderSize = 10;
// Far above any terminal's enrollment; a larger file is not one of ours.
constexpr qint64 MaxFileSize = 512LL << 20;

bool writeFile(const QString& path, FileKind kind, const ByteVector& body) {
    ByteVector out(FileMagic, FileMagic + 4);
    wire::Writer w(out);
    w.u8(FileVersion);
    w.u8(kind);
    w.u32(static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    w.u32(frame::crc32(out.data(), out.size()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(out.size());
    return file.write(reinterpret_cast<const char*>(out.data()), size) == size && file.commit();
}

// The body of a file of the given kind, or false when it is missing, foreign or damaged.
bool readFile(const QString& path, FileKind kind, ByteVector& body) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize)
        return false;
    const QByteArray all = file.readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(all.constData());
    const auto size = static_cast<std::size_t>(all.size());
    if (size < FileHeaderSize + 4 || !std::equal(FileMagic, FileMagic + 4, data))
        return false;
    wire::Reader header(data + 4, FileHeaderSize - 4);
    if (header.u8() != FileVersion || header.u8() != kind)
        return false;
    const std::uint32_t length = header.u32();
    if (length != size - FileHeaderSize - 4)
        return false;
    wire::Reader trailer(data + size - 4, 4);
    if (trailer.u32() != frame::crc32(data, size - 4))
        return false;
    body.assign(data + FileHeaderSize, data + FileHeaderSize + length);
    return true;
}

} // namespace

bool TZd2911EnrollFile::SaveAllEnrolls(const QString& path, const std::vector<UserPtr>& users) {
    ByteVector body;
    wire::Writer w(body);
    w.varint(users.size());
    for (const UserPtr& u : users) {
        if (!u)
            return false;
        wire::writeUser(w, *u);
    }
    return writeFile(path, AllEnrolls, body);
}

bool TZd2911EnrollFile::LoadAllEnrolls(const QString& path, std::vector<UserPtr>& users) {
    ByteVector body;
    if (!readFile(path, AllEnrolls, body))
        return false;
    try {
        std::vector<UserPtr> loaded = wire::decodeUsers(body);
        users = std::move(loaded);
        return true;
    } catch (const DeviceError&) {
        return false;
    }
}

bool TZd2911EnrollFile::SaveOneEnroll(const QString& path, const IUserExt& user) {
    return writeFile(path, OneEnroll, wire::encodeUser(user));
}

bool TZd2911EnrollFile::LoadOneEnroll(const QString& path, IUserExt& user) {
    ByteVector body;
    if (!readFile(path, OneEnroll, body))
        return false;
    try {
        IUserExt loaded = wire::decodeUser(body);
        user = std::move(loaded);
        return true;
    } catch (const DeviceError&) {
        return false;
    }
}
