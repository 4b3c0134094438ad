#include "sdk.h"

#include "frame.h"
#include "transport.h"
#include "wire_codec.h"

#include <QLoggingCategory>
#include <algorithm>

DevicePtr CoDevice() {
    return std::make_shared<IDevice>();
}
UserPtr CoUserExt() {
    return std::make_shared<IUserExt>();
}

namespace {

Q_LOGGING_CATEGORY(lcWire, "selvano.device.wire", QtWarningMsg)

// Memory reserved up front for an announced answer; a larger one grows as pieces arrive.
constexpr std::uint32_t MaxReserve = 16u << 20;
// Far above any terminal's records or users (10,000 users with ten fingers are 50 MB); a larger
// announcement is not believed.
constexpr std::uint32_t MaxAnswer = 256u << 20;

[[noreturn]] void protocolError(const QString& text) {
    throw DeviceError(DeviceError::Kind::Protocol, text);
}

// Every frame in and out passes here; enable with QT_LOGGING_RULES="selvano.device.wire=true".
void logFrame(const char* direction, const std::uint8_t* data, std::size_t size) {
    if (!lcWire().isDebugEnabled())
        return;
    const std::size_t shown = std::min<std::size_t>(size, 256);
    qCDebug(lcWire, "%s %zu bytes: %s%s", direction, size,
            qPrintable(BytesToHex(ByteVector(data, data + shown))), shown < size ? "..." : "");
}

} // namespace

struct TZd2911DeviceConnection::Impl {
    std::unique_ptr<Transport> link;
    std::uint32_t device = 0;
    std::uint16_t sequence = 0;
    int timeoutMs = 5000;
    FrameReader reader;
    std::function<void(qint64, qint64)> progress;

    void close() {
        link.reset();
        reader.clear();
    }

    frame::Frame readFrame() {
        frame::Frame f = reader.read(*link, timeoutMs);
        logFrame("in", reader.lastFrame(), reader.lastFrameSize());
        return f;
    }

    // Sends one command and gathers its whole answer: true with the answer, false when the
    // terminal refused. A broken link, time-out or malformed answer closes the link and throws.
    bool call(std::uint8_t command, const ByteVector& payload, ByteVector& answer) {
        if (!link)
            throw DeviceError(DeviceError::Kind::Io, QStringLiteral("not connected"));
        try {
            return exchange(command, payload, answer);
        } catch (const DeviceError&) {
            close();
            throw;
        }
    }

    bool exchange(std::uint8_t command, const ByteVector& payload, ByteVector& answer) {
        ++sequence;
        ByteVector out;
        frame::encodeInto(out, command, frame::Ok, device, sequence, payload.data(),
                          payload.size());
        // The log-in's payload is the communication password: the log shows its header only.
        logFrame("out", out.data(), command == frame::Login ? frame::HeaderSize : out.size());
        link->write(out.data(), out.size(), timeoutMs);

        ByteVector whole;
        std::uint32_t total = 0;
        bool chunked = false;
        for (;;) {
            frame::Frame f = readFrame();
            if (f.sequence != sequence || f.command != command || f.device != device)
                protocolError(QStringLiteral("answer does not belong to the request"));
            if (f.status == frame::Chunk) {
                wire::Reader r(f.payload);
                const std::uint32_t announced = r.u32();
                if (chunked && announced != total)
                    protocolError(QStringLiteral("answer size changed between pieces"));
                if (!chunked) {
                    if (announced > MaxAnswer)
                        protocolError(
                            QStringLiteral("answer of %1 bytes announced").arg(announced));
                    chunked = true;
                    total = announced;
                    whole.reserve(std::min(total, MaxReserve));
                }
                const std::size_t piece = r.remaining();
                if (piece == 0 || whole.size() + piece > total)
                    protocolError(QStringLiteral("answer piece beyond the announced size"));
                whole.insert(whole.end(), f.payload.end() - static_cast<std::ptrdiff_t>(piece),
                             f.payload.end());
                if (progress)
                    progress(static_cast<qint64>(whole.size()), total);
                if (whole.size() == total) {
                    answer = std::move(whole);
                    return true;
                }
                continue;
            }
            if (chunked)
                protocolError(QStringLiteral("answer ended before its announced size"));
            switch (f.status) {
            case frame::Ok:
                answer = std::move(f.payload);
                return true;
            case frame::Refused:
            case frame::NotLoggedIn:
            case frame::BadRequest:
            case frame::UnknownCommand:
                return false;
            default:
                protocolError(QStringLiteral("unknown answer status %1").arg(f.status));
            }
        }
    }
};

TZd2911DeviceConnection::TZd2911DeviceConnection() : impl_(std::make_unique<Impl>()) {}
TZd2911DeviceConnection::~TZd2911DeviceConnection() = default;

int TZd2911DeviceConnection::OpenConnection(IDevice& device) {
    CloseConnection();
    impl_->timeoutMs = device.TimeoutMs > 0 ? device.TimeoutMs : 5000;
    try {
        switch (device.ConnectionKind) {
        case 1:
            impl_->link = openTcpTransport(device.IpAddress, device.NetworkPort, impl_->timeoutMs);
            break;
        case 0:
        case 2:
            impl_->link = openSerialTransport(device.SerialPortName,
                                              device.BaudRate > 0 ? device.BaudRate : 9600);
            break;
        default:
            return 0;
        }
        impl_->device = static_cast<std::uint32_t>(device.DeviceNumber);
        const QByteArray password = device.Password.toUtf8();
        ByteVector answer;
        if (impl_->call(frame::Login, ByteVector(password.begin(), password.end()), answer))
            return 1;
    } catch (const DeviceError& e) {
        qCDebug(lcWire, "connection failed: %s", e.what());
    }
    CloseConnection();
    return 0;
}

void TZd2911DeviceConnection::CloseConnection() {
    impl_->close();
}

bool TZd2911DeviceConnection::IsOpen() const {
    return impl_->link != nullptr;
}

bool TZd2911DeviceConnection::GetDeviceData(int code, ByteVector& extraProperty, IDevice&,
                                            ByteVector& extraData) {
    ByteVector answer;
    if (!impl_->call(frame::GetDeviceData,
                     wire::encodeDeviceRequest(code, extraProperty, extraData), answer))
        return false;
    if (code == 10 && answer.size() != 6)
        protocolError(QStringLiteral("clock answer of %1 bytes").arg(answer.size()));
    if (code == 2 && answer.size() < static_cast<std::size_t>(24 * BellRecordSize))
        protocolError(QStringLiteral("bell table of %1 bytes").arg(answer.size()));
    extraData = std::move(answer);
    return true;
}

bool TZd2911DeviceConnection::SetDeviceData(int code, ByteVector& extraProperty, IDevice&,
                                            const ByteVector& extraData) {
    // The terminal's clock is set to the computer's: callers pass no date or time.
    const ByteVector data = code == 10 ? wire::clockBytes(QDateTime::currentDateTime()) : extraData;
    ByteVector answer;
    return impl_->call(frame::SetDeviceData, wire::encodeDeviceRequest(code, extraProperty, data),
                       answer);
}

// No user-data code reads extraData, and callers may leave a long earlier answer in it (the
// whole user list before every detail read): it is not sent.
bool TZd2911DeviceConnection::GetUserData(int code, ByteVector& extraProperty, IUserExt& user,
                                          ByteVector&) {
    ByteVector answer;
    if (!impl_->call(frame::GetUserData, wire::encodeUserRequest(code, extraProperty, {}, user),
                     answer))
        return false;
    // Decoded whole before the caller's user changes.
    IUserExt filled = wire::decodeUser(answer);
    user = std::move(filled);
    return true;
}

bool TZd2911DeviceConnection::SetUserData(int code, ByteVector& extraProperty, IUserExt& user,
                                          ByteVector&) {
    ByteVector answer;
    return impl_->call(frame::SetUserData, wire::encodeUserRequest(code, extraProperty, {}, user),
                       answer);
}

void TZd2911DeviceConnection::setProgressHandler(std::function<void(qint64, qint64)> handler) {
    impl_->progress = std::move(handler);
}

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
std::vector<UserPtr> TZd2911Tools::BytesToUsers(const ByteVector& bytes) {
    return wire::decodeUsers(bytes);
}
std::vector<IRecordExt> TZd2911Tools::BytesToRecords(const ByteVector& bytes) {
    return wire::decodeRecords(bytes);
}
// Kinds outside the mask's bits are never set and never added.
bool TZd2911Tools::HasEnrollKind(int mask, int kind) {
    return kind >= 0 && kind < 31 && ((mask >> kind) & 1);
}
int TZd2911Tools::AddEnrollKind(int mask, int kind) {
    return kind >= 0 && kind < 31 ? mask | (1 << kind) : mask;
}
