#include "control_terminal.h"

#include "control_codec.h"
#include "device_error.h"

#include <QJsonArray>
#include <QVariant>

using namespace control;

namespace {

// The number of a key that the state file may hold as a number or as decimal text.
qint32 numberOf(const QJsonValue& value, qint32 fallback) {
    if (value.isDouble())
        return value.toInt(fallback);
    bool ok = false;
    const qint32 n = value.toString().trimmed().toInt(&ok);
    return ok ? n : fallback;
}

} // namespace

ControlTerminal::ControlTerminal(const QJsonObject& state) : state_(state) {
    deviceNumber_ = numberOf(state.value(QLatin1String("device_number")), 1);
    password_ = numberOf(state.value(QLatin1String("password")), 0);
    writeMode_ = state.value(QLatin1String("write_mode")).toBool(false);
    userList_ = state_.take(QLatin1String("users")).toArray();
    for (const QJsonValue& user : userList_)
        users_.insert(numberOf(user.toObject().value(QLatin1String("enroll_number")), 0));
    for (const QJsonValue& v : state.value(QLatin1String("credentials")).toArray()) {
        const QJsonObject c = v.toObject();
        credentials_[numberOf(c.value(QLatin1String("enroll_number")), 0)]
                    [numberOf(c.value(QLatin1String("backup_number")), 0)] =
                        numberOf(c.value(QLatin1String("value")), 0);
    }
}

frame::Frame ControlTerminal::reply(const frame::Frame& request, std::uint8_t status,
                                    qint32 code) const {
    frame::Frame f;
    f.command = request.command;
    f.device = request.device;
    f.sequence = request.sequence;
    f.status = status;
    if (status == frame::Refused)
        f.payload = encodeInt(code);
    return f;
}

frame::Frame ControlTerminal::answer(const frame::Frame& request) {
    const bool known = request.command >= CmdLink && request.command <= CmdUnlink;
    if (!known)
        return reply(request, frame::UnknownCommand);
    if (!loggedIn_ && request.command != CmdLink)
        return reply(request, frame::NotLoggedIn);
    try {
        const qint32 code = handle(request);
        return reply(request, code == ErrNone ? frame::Ok : frame::Refused, code);
    } catch (const DeviceError&) {
        return reply(request, frame::BadRequest);
    }
}

qint32 ControlTerminal::handle(const frame::Frame& request) {
    const auto device = static_cast<qint32>(request.device);
    switch (request.command) {
    case CmdLink:
        loggedIn_ = device == deviceNumber_ && decodeInt(request.payload) == password_;
        return loggedIn_ ? ErrNone : ErrLoginRefused;
    case CmdUnlink:
        linkClosed();
        return ErrNone;
    default:
        break;
    }
    if (device != deviceNumber_)
        return ErrWrongMachine;
    if (request.command == CmdSetEnabled) {
        const qint32 flag = decodeInt(request.payload);
        if (flag != 0 && flag != 1)
            return ErrBadValue;
        const bool writeMode = flag == 0;
        if (writeMode != writeMode_) {
            writeMode_ = writeMode;
            changed_ = true;
            saveRequested_ = saveRequested_ || !writeMode;
        }
        return ErrNone;
    }
    if (request.command == CmdWrite) {
        const WriteRequest w = decodeWrite(request.payload);
        if (!writeMode_)
            return ErrNotWriteMode;
        if (w.enrollMachineNumber != deviceNumber_)
            return ErrWrongMachine;
        if (w.backupNumber != BackupCard && w.backupNumber != BackupPassword)
            return ErrBadBackup;
        const bool validValue =
            w.backupNumber == BackupCard ? w.value > 0 : isPasswordValue(w.value);
        if (w.enrollNumber < 1 || !validValue)
            return ErrBadValue;
        if (!users_.contains(w.enrollNumber)) {
            // Registering a credential from software makes the user, as terminals do.
            users_.insert(w.enrollNumber);
            userList_.append(
                QJsonObject{{QStringLiteral("enroll_number"), QString::number(w.enrollNumber)},
                            {QStringLiteral("name"), QString()},
                            {QStringLiteral("privilege"), 1},
                            {QStringLiteral("enabled"), true}});
        }
        credentials_[w.enrollNumber][w.backupNumber] = w.value;
        changed_ = true;
        return ErrNone;
    }
    const RemoveRequest r = decodeRemove(request.payload);
    if (!writeMode_)
        return ErrNotWriteMode;
    if (r.enrollMachineNumber != deviceNumber_)
        return ErrWrongMachine;
    if (r.backupNumber != BackupCard && r.backupNumber != BackupPassword)
        return ErrBadBackup;
    const auto user = credentials_.find(r.enrollNumber);
    if (user == credentials_.end() || user->second.erase(r.backupNumber) == 0)
        return ErrNoSuchEnroll;
    if (user->second.empty())
        credentials_.erase(user);
    changed_ = true;
    return ErrNone;
}

void ControlTerminal::linkClosed() {
    loggedIn_ = false;
    saveRequested_ = saveRequested_ || changed_;
}

bool ControlTerminal::takeSaveRequest() {
    if (!saveRequested_ || !changed_)
        return false;
    saveRequested_ = false;
    changed_ = false;
    return true;
}

QJsonObject ControlTerminal::state() const {
    QJsonObject state = state_;
    QJsonArray credentials;
    for (const auto& [enrollNumber, values] : credentials_)
        for (const auto& [backupNumber, value] : values)
            credentials.append(QJsonObject{{QStringLiteral("enroll_number"), enrollNumber},
                                           {QStringLiteral("backup_number"), backupNumber},
                                           {QStringLiteral("value"), value}});
    state.insert(QStringLiteral("users"), userList_);
    state.insert(QStringLiteral("credentials"), credentials);
    state.insert(QStringLiteral("write_mode"), writeMode_);
    return state;
}
