#include "sdk_family.h"

#include <QStringList>
#include <algorithm>

namespace {

// Long answers go out in pieces of this size.
constexpr std::size_t ChunkPiece = 32 * 1024;
const QString AllUsers = QStringLiteral("0");

QString textOf(const ByteVector& bytes) {
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size()));
}

bool validPrivilege(int p) {
    return std::find(std::begin(PrivilegeValues), std::end(PrivilegeValues), p) !=
           std::end(PrivilegeValues);
}

// The user with its enrolled fingers' templates one after another in slot order.
IUserExt wholeUser(const EmulatedUser& u) {
    IUserExt out;
    out.EnrollNumber = u.enrollNumber;
    out.Privilege = u.privilege;
    out.UserName = u.name;
    out.ExtraInfo = u.extraInfo;
    out.Enabled = u.enabled;
    out.AttendanceType = u.attendanceType;
    out.DepartmentId = u.departmentId;
    out.GroupId = u.groupId;
    out.PassZone = u.passZone;
    out.LockControl = u.lockControl;
    out.ValidPeriodOn = u.validPeriodOn;
    out.ValidFrom = u.validFrom;
    out.ValidTo = u.validTo;
    IEnrollExt& e = out.Enrolls.front();
    e.EnrollNumber = u.enrollNumber;
    e.EnrollKinds = u.enrollKinds();
    for (const auto& entry : u.fingerprints)
        e.FingerprintData.insert(e.FingerprintData.end(), entry.second.begin(), entry.second.end());
    e.Password = u.password;
    e.CardNumber = u.card;
    return out;
}

// What the user list carries: number, name, privilege, enabled and the enroll kinds.
IUserExt listedUser(const EmulatedUser& u) {
    IUserExt out;
    out.EnrollNumber = u.enrollNumber;
    out.Privilege = u.privilege;
    out.UserName = u.name;
    out.Enabled = u.enabled;
    out.Enrolls.front().EnrollNumber = u.enrollNumber;
    out.Enrolls.front().EnrollKinds = u.enrollKinds();
    return out;
}

QString operationName(std::uint8_t command, const ByteVector& payload) {
    QString name;
    switch (command) {
    case frame::Login:
        return QStringLiteral("login");
    case frame::GetDeviceData:
        name = QStringLiteral("get_device_data");
        break;
    case frame::SetDeviceData:
        name = QStringLiteral("set_device_data");
        break;
    case frame::GetUserData:
        name = QStringLiteral("get_user_data");
        break;
    case frame::SetUserData:
        name = QStringLiteral("set_user_data");
        break;
    default:
        return QStringLiteral("command_%1").arg(command);
    }
    if (payload.empty())
        return name;
    name += QLatin1Char(':') + QString::number(payload[0]);
    // Enrollment actions are named too: set_user_data:7:4 writes a password.
    if ((command == frame::GetUserData || command == frame::SetUserData) && payload[0] == 7) {
        try {
            wire::Reader r(payload);
            r.u8();
            std::int32_t action = 0;
            if (wire::valueFromBytes(r.bytes(), action))
                name += QLatin1Char(':') + QString::number(action);
        } catch (const DeviceError&) {
            // An unreadable request keeps the plain name; it is refused later.
        }
    }
    // The user's number comes last, so one user's operation can be singled out:
    // "get_user_data:1:2" is the detail read of user 2.
    if (command == frame::GetUserData || command == frame::SetUserData) {
        try {
            name += QLatin1Char(':') + wire::decodeUserRequest(payload).user.EnrollNumber;
        } catch (const DeviceError&) {
            // As above: the plain name.
        }
    }
    return name;
}

class SdkSession : public FrameSession {
public:
    explicit SdkSession(SdkFamily& family) : family_(family) {}

protected:
    Reply answer(const frame::Frame& request) override {
        return family_.answer(request, loggedIn_);
    }

private:
    SdkFamily& family_;
    bool loggedIn_ = false;
};

} // namespace

std::unique_ptr<LinkSession> SdkFamily::newSession() {
    return std::make_unique<SdkSession>(*this);
}

Reply SdkFamily::answer(const frame::Frame& request, bool& loggedIn) {
    Reply reply;
    reply.operation = operationName(request.command, request.payload);
    Outcome outcome;
    if (request.command == frame::Login) {
        loggedIn = request.device == state_.deviceNumber &&
                   textOf(request.payload) == state_.password &&
                   !FaultPlan::matches(faults_.refuse, reply.operation);
        outcome.status = loggedIn ? frame::Ok : frame::Refused;
    } else if (!loggedIn || request.device != state_.deviceNumber) {
        outcome.status = frame::NotLoggedIn;
    } else if (FaultPlan::matches(faults_.refuse, reply.operation)) {
        outcome.status = frame::Refused;
    } else {
        try {
            switch (request.command) {
            case frame::GetDeviceData:
            case frame::SetDeviceData:
                outcome = deviceData(request.command == frame::GetDeviceData,
                                     wire::decodeDeviceRequest(request.payload));
                break;
            case frame::GetUserData:
            case frame::SetUserData:
                outcome = userData(request.command == frame::GetUserData,
                                   wire::decodeUserRequest(request.payload));
                break;
            default:
                outcome.status = frame::UnknownCommand;
            }
        } catch (const DeviceError&) {
            outcome.status = frame::BadRequest;
        }
    }

    const ByteVector& p = outcome.kept ? *outcome.kept : outcome.payload;
    if (outcome.status != frame::Ok || p.size() <= ChunkPiece) {
        frame::encodeInto(reply.bytes, request.command, outcome.status, request.device,
                          request.sequence, p.data(), p.size());
        return reply;
    }
    ByteVector piece;
    for (std::size_t at = 0; at < p.size(); at += ChunkPiece) {
        const std::size_t n = std::min(ChunkPiece, p.size() - at);
        piece.clear();
        wire::Writer(piece).u32(static_cast<std::uint32_t>(p.size()));
        piece.insert(piece.end(), p.begin() + static_cast<std::ptrdiff_t>(at),
                     p.begin() + static_cast<std::ptrdiff_t>(at + n));
        frame::encodeInto(reply.bytes, request.command, frame::Chunk, request.device,
                          request.sequence, piece.data(), piece.size());
    }
    return reply;
}

SdkFamily::Outcome SdkFamily::saved(Outcome outcome) {
    if (outcome.status == frame::Ok && !state_.save())
        outcome.status = frame::Refused;
    return outcome;
}

SdkFamily::Outcome SdkFamily::deviceData(bool get, const wire::DeviceRequest& q) {
    Outcome ok{frame::Ok, {}};
    const Outcome refused{};
    std::int32_t value = 0;
    switch (q.code) {
    case 2: // bell table, selected by 65
        if (get) {
            if (!wire::valueFromBytes(q.extraData, value) || value != BellTableSelector)
                return refused;
            ok.payload = state_.bells;
            return ok;
        }
        if (!wire::valueFromBytes(q.extraProperty, value) || value != BellTableSelector ||
            q.extraData.size() < static_cast<std::size_t>(24 * BellRecordSize))
            return refused;
        state_.bells = q.extraData;
        return saved(ok);
    case 10: { // clock
        if (get) {
            ok.payload = wire::clockBytes(state_.now());
            return ok;
        }
        QDateTime time;
        if (!wire::clockFromBytes(q.extraData, time))
            return refused;
        state_.clock = time;
        state_.clockFromHost = false;
        return saved(ok);
    }
    case 13: { // attendance records
        if (!get) {
            state_.clearRecords();
            recordAnswer_.reset();
            return saved(ok);
        }
        const ByteVector& d = q.extraData;
        if (d.size() != 6)
            return refused;
        const QDate from(2000 + d[0], d[1], d[2]);
        const QDate to(2000 + d[3], d[4], d[5]);
        if (!from.isValid() || !to.isValid())
            return refused;
        const std::int64_t first = wire::wallSeconds(QDateTime(from, QTime(0, 0)));
        const std::int64_t last = wire::wallSeconds(QDateTime(to, QTime(0, 0))) + 86399;
        const auto& all = state_.records;
        const auto begin = std::lower_bound(
            all.begin(), all.end(), first,
            [](const wire::WireRecord& r, std::int64_t s) { return r.seconds < s; });
        const auto end =
            std::upper_bound(begin, all.end(), last, [](std::int64_t s, const wire::WireRecord& r) {
                return s < r.seconds;
            });
        const auto b = static_cast<std::size_t>(begin - all.begin());
        const auto e = static_cast<std::size_t>(end - all.begin());
        if (!recordAnswer_ || recordAnswer_->begin != b || recordAnswer_->end != e) {
            recordAnswer_ =
                RecordAnswer{b, e,
                             b == 0 && e == all.size()
                                 ? wire::encodeRecords(all)
                                 : wire::encodeRecords(std::vector<wire::WireRecord>(begin, end))};
        }
        ok.kept = &recordAnswer_->bytes;
        return ok;
    }
    case 14: { // users: list all or one; delete one or all
        if (get) {
            const QString which = textOf(q.extraProperty);
            std::vector<IUserExt> list;
            for (const EmulatedUser& u : state_.users) {
                if (which == AllUsers || u.enrollNumber == which)
                    list.push_back(listedUser(u));
            }
            if (which != AllUsers && list.empty())
                return refused;
            ok.payload = wire::encodeUsers(list);
            return ok;
        }
        const QString which = textOf(q.extraData);
        if (which == AllUsers) {
            state_.users.clear();
            return saved(ok);
        }
        auto& users = state_.users;
        const auto it = std::find_if(users.begin(), users.end(), [&](const EmulatedUser& u) {
            return u.enrollNumber == which;
        });
        if (it == users.end())
            return refused;
        users.erase(it);
        return saved(ok);
    }
    case 16: // communication status
        if (get) {
            wire::Writer(ok.payload).u32(static_cast<std::uint32_t>(state_.commStatus));
            return ok;
        }
        if (!wire::valueFromBytes(q.extraData, value))
            return refused;
        state_.commStatus = value;
        return saved(ok);
    default:
        return refused;
    }
}

SdkFamily::Outcome SdkFamily::userData(bool get, const wire::UserRequest& q) {
    Outcome ok{frame::Ok, {}};
    const Outcome refused{};
    const IUserExt& in = q.user;
    if (in.EnrollNumber.isEmpty())
        return refused;
    if (q.code == 7) {
        std::int32_t action = -1;
        if (!wire::valueFromBytes(q.extraProperty, action) || action < 0 || action > 8 ||
            (action == 0 || action == 3 || action == 6) != get)
            return refused;
        return enrollAction(action, in);
    }
    EmulatedUser* u = state_.findUser(in.EnrollNumber);
    if (get) {
        if (!u || (q.code != 0 && q.code != 1 && q.code != 2 && q.code != 5))
            return refused;
        ok.payload = wire::encodeUser(wholeUser(*u));
        return ok;
    }
    switch (q.code) {
    case 0:
        if (!u)
            return refused;
        u->name = in.UserName;
        return saved(ok);
    case 2:
        if (!u)
            return refused;
        u->extraInfo = in.ExtraInfo;
        return saved(ok);
    case 5:
        if (!u || !validPrivilege(in.Privilege))
            return refused;
        u->privilege = in.Privilege;
        return saved(ok);
    case 1: {
        // The fingers named in EnrollKinds are written from FingerprintData in slot order;
        // fingers not named are kept (a template cannot be typed again). Password and card
        // are set when their bit is there and removed when it is not.
        const IEnrollExt& e = in.Enrolls.front();
        std::vector<int> slots;
        for (int slot = 0; slot < FingerSlotCount; ++slot) {
            if (TZd2911Tools::HasEnrollKind(e.EnrollKinds, slot))
                slots.push_back(slot);
        }
        if (e.FingerprintData.size() < slots.size() * FingerprintTemplateSize)
            return refused;
        if (!u) {
            state_.users.push_back(EmulatedUser{});
            u = &state_.users.back();
            u->enrollNumber = in.EnrollNumber;
        }
        u->name = in.UserName;
        u->extraInfo = in.ExtraInfo;
        if (validPrivilege(in.Privilege))
            u->privilege = in.Privilege;
        u->enabled = in.Enabled;
        u->attendanceType = in.AttendanceType;
        u->departmentId = in.DepartmentId;
        u->groupId = in.GroupId;
        u->passZone = in.PassZone;
        u->lockControl = in.LockControl;
        u->validPeriodOn = in.ValidPeriodOn;
        u->validFrom = in.ValidFrom;
        u->validTo = in.ValidTo;
        u->password = TZd2911Tools::HasEnrollKind(e.EnrollKinds, 10) ? e.Password : QString();
        u->card = TZd2911Tools::HasEnrollKind(e.EnrollKinds, 11) ? e.CardNumber : QString();
        for (std::size_t k = 0; k < slots.size(); ++k) {
            const auto from = e.FingerprintData.begin() +
                              static_cast<std::ptrdiff_t>(k * FingerprintTemplateSize);
            u->fingerprints[slots[k]] = ByteVector(from, from + FingerprintTemplateSize);
        }
        return saved(ok);
    }
    default:
        return refused;
    }
}

SdkFamily::Outcome SdkFamily::enrollAction(int action, const IUserExt& in) {
    Outcome ok{frame::Ok, {}};
    const Outcome refused{};
    const IEnrollExt& e = in.Enrolls.front();
    EmulatedUser* u = state_.findUser(in.EnrollNumber);
    const int finger = e.EnrollKinds;
    const bool fingerAction = action <= 2;
    if (fingerAction && (finger < 0 || finger >= FingerSlotCount))
        return refused;
    // Writing a credential for an unknown number enrols that user.
    const auto userForWrite = [&]() {
        if (!u) {
            state_.users.push_back(EmulatedUser{});
            u = &state_.users.back();
            u->enrollNumber = in.EnrollNumber;
        }
        return u;
    };
    IUserExt answer;
    answer.EnrollNumber = in.EnrollNumber;
    IEnrollExt& out = answer.Enrolls.front();
    out.EnrollNumber = in.EnrollNumber;
    switch (action) {
    case 0: { // get fingerprint n
        if (!u || !u->fingerprints.count(finger))
            return refused;
        out.EnrollKinds = finger;
        out.FingerprintData = u->fingerprints.at(finger);
        ok.payload = wire::encodeUser(answer);
        return ok;
    }
    case 1: { // set fingerprint n: template at n * 498
        const std::size_t at = static_cast<std::size_t>(finger) * FingerprintTemplateSize;
        if (e.FingerprintData.size() < at + FingerprintTemplateSize)
            return refused;
        const auto from = e.FingerprintData.begin() + static_cast<std::ptrdiff_t>(at);
        userForWrite()->fingerprints[finger] = ByteVector(from, from + FingerprintTemplateSize);
        return saved(ok);
    }
    case 2: // clear fingerprint n
        if (!u)
            return refused;
        u->fingerprints.erase(finger);
        return saved(ok);
    case 3: // get password
        if (!u || u->password.isEmpty())
            return refused;
        out.Password = u->password;
        ok.payload = wire::encodeUser(answer);
        return ok;
    case 4: // set password
        if (e.Password.isEmpty())
            return refused;
        userForWrite()->password = e.Password;
        return saved(ok);
    case 5: // clear password
        if (!u)
            return refused;
        u->password.clear();
        return saved(ok);
    case 6: // get card
        if (!u || u->card.isEmpty())
            return refused;
        out.CardNumber = u->card;
        ok.payload = wire::encodeUser(answer);
        return ok;
    case 7: // set card
        if (e.CardNumber.isEmpty())
            return refused;
        userForWrite()->card = e.CardNumber;
        return saved(ok);
    case 8: // clear card
        if (!u)
            return refused;
        u->card.clear();
        return saved(ok);
    default:
        return refused;
    }
}
