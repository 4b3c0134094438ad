#include "control_codec.h"

#include "wire_codec.h"

#include <array>

namespace control {

QString errorText(qint32 code) {
    switch (code) {
    case ErrNone:
        return QStringLiteral("no error");
    case ErrLoginRefused:
        return QStringLiteral("log-in refused");
    case ErrNotWriteMode:
        return QStringLiteral("not in write mode");
    case ErrNoSuchEnroll:
        return QStringLiteral("no such credential");
    case ErrBadBackup:
        return QStringLiteral("unsupported backup number");
    case ErrBadValue:
        return QStringLiteral("invalid value");
    case ErrWrongMachine:
        return QStringLiteral("wrong machine number");
    case ErrRefused:
        return QStringLiteral("refused");
    case ErrNotLinked:
        return QStringLiteral("no link");
    case ErrConnectFailed:
        return QStringLiteral("terminal not reached");
    case ErrLinkLost:
        return QStringLiteral("link lost");
    case ErrProtocol:
        return QStringLiteral("unexpected answer");
    default:
        return QStringLiteral("unknown error %1").arg(code);
    }
}

namespace {

ByteVector encodeInts(std::initializer_list<qint32> values) {
    ByteVector out;
    wire::Writer w(out);
    for (qint32 v : values)
        w.u32(static_cast<std::uint32_t>(v));
    return out;
}

// Exactly count numbers, or DeviceError(DataFormat).
template <std::size_t count> std::array<qint32, count> decodeInts(const ByteVector& payload) {
    wire::Reader r(payload);
    std::array<qint32, count> values{};
    for (qint32& v : values)
        v = static_cast<qint32>(r.u32());
    r.expectEnd();
    return values;
}

} // namespace

ByteVector encodeInt(qint32 value) {
    return encodeInts({value});
}

qint32 decodeInt(const ByteVector& payload) {
    return decodeInts<1>(payload)[0];
}

ByteVector encodeWrite(const WriteRequest& r) {
    return encodeInts(
        {r.enrollNumber, r.enrollMachineNumber, r.backupNumber, r.privilege, r.value});
}

WriteRequest decodeWrite(const ByteVector& payload) {
    const auto v = decodeInts<5>(payload);
    return {v[0], v[1], v[2], v[3], v[4]};
}

ByteVector encodeRemove(const RemoveRequest& r) {
    return encodeInts({r.enrollNumber, r.enrollMachineNumber, r.backupNumber});
}

RemoveRequest decodeRemove(const ByteVector& payload) {
    const auto v = decodeInts<3>(payload);
    return {v[0], v[1], v[2]};
}

std::optional<qint32> passwordValue(const QString& password) {
    qint32 value = 0;
    const int count = std::min<int>(6, static_cast<int>(password.size()));
    for (int i = 0; i < count; ++i) {
        const QChar c = password.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value |= (c.unicode() - '0' + 1) << (4 * i);
    }
    return value;
}

bool isPasswordValue(qint32 value) {
    if (value < 0 || value > 0xFFFFFF)
        return false;
    int i = 0;
    for (; i < 6 && ((value >> (4 * i)) & 0xF) != 0; ++i) {
        if (((value >> (4 * i)) & 0xF) > 10)
            return false;
    }
    return i > 0 && (value >> (4 * i)) == 0;
}

} // namespace control
