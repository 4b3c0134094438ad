#include "control_sbxpc.h"

#include "control_codec.h"
#include "device_error.h"
#include "frame.h"
#include "transport.h"

using namespace control;

struct TSBXPC::Impl {
    std::unique_ptr<Transport> link;
    qint32 machine = 0;
    quint16 sequence = 0;
    int timeoutMs = 5000;
    qint32 lastError = ErrNone;
    bool writeMode = false;
    // A switch back to normal operation not sent yet: callers switch back after every person
    // and into write mode again before the next, so the pair is dropped instead of costing two
    // round trips. It is sent before any other call and when the link closes.
    bool enablePending = false;
    FrameReader reader;

    void dropLink() {
        if (link)
            link->close();
        link.reset();
        writeMode = false;
        enablePending = false;
        reader.clear();
    }

    frame::Frame readAnswer() { return reader.read(*link, timeoutMs); }

    // One request and its answer. true = done; false = refused or failed, lastError says why.
    bool call(std::uint8_t command, qint32 device, const ByteVector& payload) {
        if (!link) {
            lastError = ErrNotLinked;
            return false;
        }
        try {
            const quint16 seq = ++sequence;
            ByteVector request;
            frame::encodeInto(request, command, frame::Ok, static_cast<std::uint32_t>(device), seq,
                              payload.data(), payload.size());
            link->write(request.data(), request.size(), timeoutMs);
            const frame::Frame answer = readAnswer();
            if (answer.sequence != seq || answer.command != command) {
                lastError = ErrProtocol;
                dropLink();
                return false;
            }
            if (answer.status == frame::Ok) {
                lastError = ErrNone;
                return true;
            }
            if (answer.status == frame::Refused)
                lastError = decodeInt(answer.payload);
            else
                lastError = answer.status == frame::NotLoggedIn ? ErrNotLinked : ErrProtocol;
            return false;
        } catch (const DeviceError&) {
            lastError = ErrLinkLost;
            dropLink();
            return false;
        }
    }

    bool setEnabled(qint32 device, qint32 flag) {
        const bool ok = call(CmdSetEnabled, device, encodeInt(flag));
        if (ok && (flag == 0 || flag == 1))
            writeMode = flag == 0;
        return ok;
    }

    void sendPendingEnable() {
        if (!enablePending)
            return;
        enablePending = false;
        setEnabled(machine, 1);
    }
};

TSBXPC::TSBXPC() : impl_(std::make_unique<Impl>()) {}

TSBXPC::~TSBXPC() {
    CloseLink();
}

void TSBXPC::StartControl() {
    impl_->lastError = ErrNone;
}

bool TSBXPC::OpenTcpLink(qint32 machineNumber, QString& ipAddress, qint32 port, qint32 password) {
    CloseLink();
    if (port < 1 || port > 65535) {
        impl_->lastError = ErrConnectFailed;
        return false;
    }
    try {
        impl_->link = openTcpTransport(ipAddress, port, impl_->timeoutMs);
    } catch (const DeviceError&) {
        impl_->lastError = ErrConnectFailed;
        return false;
    }
    impl_->machine = machineNumber;
    if (!impl_->call(CmdLink, machineNumber, encodeInt(password))) {
        impl_->dropLink();
        return false;
    }
    return true;
}

bool TSBXPC::SetDeviceEnabled(qint32 machineNumber, qint32 flag) {
    Impl& d = *impl_;
    const bool sameTerminal = d.link && machineNumber == d.machine;
    if (sameTerminal && flag == 0 && d.enablePending) {
        d.enablePending = false;
        d.lastError = ErrNone;
        return true;
    }
    if (sameTerminal && flag == 1 && d.writeMode) {
        d.enablePending = true;
        d.lastError = ErrNone;
        return true;
    }
    d.sendPendingEnable();
    return d.setEnabled(machineNumber, flag);
}

bool TSBXPC::WriteEnrollment(qint32 machineNumber, qint32 enrollNumber, qint32 enrollMachineNumber,
                             qint32 backupNumber, qint32 privilege, std::vector<qint32>&,
                             qint32 value) {
    impl_->sendPendingEnable();
    return impl_->call(
        CmdWrite, machineNumber,
        encodeWrite({enrollNumber, enrollMachineNumber, backupNumber, privilege, value}));
}

bool TSBXPC::RemoveEnrollment(qint32 machineNumber, qint32 enrollNumber, qint32 enrollMachineNumber,
                              qint32 backupNumber) {
    impl_->sendPendingEnable();
    return impl_->call(CmdRemove, machineNumber,
                       encodeRemove({enrollNumber, enrollMachineNumber, backupNumber}));
}

bool TSBXPC::ReadLastError(qint32& errorCode) {
    errorCode = impl_->lastError;
    return true;
}

void TSBXPC::CloseLink() {
    Impl& d = *impl_;
    if (!d.link)
        return;
    d.enablePending = false;
    if (d.writeMode)
        d.setEnabled(d.machine, 1);
    if (d.link)
        d.call(CmdUnlink, d.machine, {});
    d.dropLink();
}

bool TSBXPC::isLinked() const {
    return impl_->link != nullptr;
}

void TSBXPC::setTimeoutMs(int timeoutMs) {
    impl_->timeoutMs = timeoutMs;
}
