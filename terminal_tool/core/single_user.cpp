#include "single_user.h"

#include "prompt.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int CodeUserName = 0;
constexpr int CodeExtraInfo = 2;
constexpr int CodePrivilege = 5;
constexpr int CodeEnrollAction = 7;

constexpr int ActionReadFp = 0;
constexpr int ActionWriteFp = 1;
constexpr int ActionClearFp = 2;
constexpr int ActionReadPwd = 3;
constexpr int ActionWritePwd = 4;
constexpr int ActionClearPwd = 5;
constexpr int ActionReadCard = 6;
constexpr int ActionWriteCard = 7;
constexpr int ActionClearCard = 8;

// A user whose answer came without enrolls still offers one to read from and write into.
IEnrollExt& firstEnroll(IUserExt& user) {
    if (user.Enrolls.empty())
        user.Enrolls.emplace_back();
    return user.Enrolls.front();
}

// Bytes 0 to 497 of a template; a shorter answer leaves zeros rather than old bytes.
ByteVector templateOf(const ByteVector& data) {
    ByteVector buffer = NewByteVector(FingerprintTemplateSize);
    CopyBytes(data, 0, buffer, 0, std::min(FingerprintTemplateSize, static_cast<int>(data.size())));
    return buffer;
}

// Strict whole-number conversion of a detail field: anything else ends the operation.
int wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw std::runtime_error(
            QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return value;
}

QDateTime startOfDay(const QDate& date) {
    return QDateTime(date, QTime(0, 0));
}

} // namespace

SingleUserOperations::SingleUserOperations(DeviceSession& session, EnrollState& state,
                                           Prompt& prompt)
    : session_(session), state_(state), prompt_(prompt) {}

ByteVector SingleUserOperations::fingerprintWriteVector(const ByteVector& buffer, int finger) {
    ByteVector vector = NewByteVector((finger + 1) * FingerprintTemplateSize);
    CopyBytes(buffer, 0, vector, finger * FingerprintTemplateSize, FingerprintTemplateSize);
    return vector;
}

bool SingleUserOperations::userCall(Direction direction, int code, int action,
                                    const QString& userId,
                                    const std::function<void(IUserExt&, IEnrollExt&)>& setUp,
                                    IUserExt& user, ByteVector& extraProperty,
                                    ByteVector& extraData) {
    if (code == CodeEnrollAction)
        extraProperty = TZd2911Tools::ValueToBytes(QString::number(action), 3);
    user.EnrollNumber = trimmedText(userId);
    IEnrollExt& enroll = firstEnroll(user);
    if (code == CodeEnrollAction)
        enroll.EnrollNumber = user.EnrollNumber;
    if (setUp)
        setUp(user, enroll);
    TZd2911DeviceConnection& connection = session_.connection();
    return direction == Direction::Get
               ? connection.GetUserData(code, extraProperty, user, extraData)
               : connection.SetUserData(code, extraProperty, user, extraData);
}

bool SingleUserOperations::report(bool ok, const QString& success, const QString& failure) {
    prompt_.message(ok ? success : failure);
    return ok;
}

bool SingleUserOperations::enrollWrite(int action, bool wrapped, const QString& userId,
                                       const std::function<void(IEnrollExt&)>& setUp,
                                       const QString& success, const QString& failure) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    const auto body = [&] {
        const UserPtr user = CoUserExt();
        const bool ok = userCall(
            Direction::Set, CodeEnrollAction, action, userId,
            [&](IUserExt&, IEnrollExt& enroll) {
                if (setUp)
                    setUp(enroll);
            },
            *user, extraProperty, extraData);
        return report(ok, success, failure);
    };
    return wrapped ? runWithDeviceWork(session_, extraProperty, prompt_, body) : body();
}

std::optional<IEnrollExt>
SingleUserOperations::enrollRead(int action, const QString& userId,
                                 const std::function<void(IEnrollExt&)>& setUp,
                                 const QString& failure) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    const UserPtr user = CoUserExt();
    const bool ok = userCall(
        Direction::Get, CodeEnrollAction, action, userId,
        [&](IUserExt&, IEnrollExt& enroll) {
            if (setUp)
                setUp(enroll);
        },
        *user, extraProperty, extraData);
    if (!ok) {
        prompt_.message(failure);
        return std::nullopt;
    }
    return firstEnroll(*user);
}

bool SingleUserOperations::readFingerprint(const QString& userId, int finger) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    return runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        const UserPtr user = CoUserExt();
        const bool ok = userCall(
            Direction::Get, CodeEnrollAction, ActionReadFp, userId,
            [&](IUserExt&, IEnrollExt& enroll) {
                enroll.EnrollKinds = finger;
                enroll.FingerprintData = NewByteVector(FingerprintTemplateSize);
            },
            *user, extraProperty, extraData);
        if (!ok) {
            prompt_.message(QStringLiteral("get fp: Fail"));
            return false;
        }
        state_.fingerprint = templateOf(firstEnroll(*user).FingerprintData);
        return true;
    });
}

bool SingleUserOperations::writeFingerprint(const QString& userId, int finger) {
    const ByteVector data = fingerprintWriteVector(state_.fingerprint, finger);
    return enrollWrite(
        ActionWriteFp, true, userId,
        [&](IEnrollExt& enroll) {
            enroll.EnrollKinds = finger;
            enroll.FingerprintData = data;
        },
        QStringLiteral("set fp: Sucess"), QStringLiteral("set fp: Fail"));
}

bool SingleUserOperations::clearFingerprint(const QString& userId, int finger) {
    return enrollWrite(
        ActionClearFp, true, userId,
        [&](IEnrollExt& enroll) {
            enroll.EnrollKinds = finger;
            enroll.FingerprintData = NewByteVector(FingerprintTemplateSize);
        },
        QStringLiteral("clear fp: Sucess"), QStringLiteral("clear fp: Fail"));
}

std::optional<QString> SingleUserOperations::readPassword(const QString& userId) {
    const auto enroll = enrollRead(ActionReadPwd, userId, {}, QStringLiteral("get Password: Fail"));
    return enroll ? std::optional<QString>(enroll->Password) : std::nullopt;
}

bool SingleUserOperations::writePassword(const QString& userId, const QString& password) {
    return enrollWrite(
        ActionWritePwd, false, userId,
        [&](IEnrollExt& enroll) { enroll.Password = trimmedText(password); },
        QStringLiteral("set password: Success"), QStringLiteral("set password: Fail"));
}

bool SingleUserOperations::clearPassword(const QString& userId) {
    return enrollWrite(ActionClearPwd, false, userId, {}, QStringLiteral("clear password: Success"),
                       QStringLiteral("clear password: Fail"));
}

std::optional<QString> SingleUserOperations::readCard(const QString& userId) {
    const auto enroll = enrollRead(ActionReadCard, userId, {}, QStringLiteral("get card: Fail"));
    return enroll ? std::optional<QString>(enroll->CardNumber) : std::nullopt;
}

bool SingleUserOperations::writeCard(const QString& userId, const QString& card) {
    return enrollWrite(
        ActionWriteCard, false, userId,
        [&](IEnrollExt& enroll) { enroll.CardNumber = trimmedText(card); },
        QStringLiteral("set card: Success"), QStringLiteral("set card: Fail"));
}

bool SingleUserOperations::clearCard(const QString& userId) {
    return enrollWrite(ActionClearCard, false, userId, {}, QStringLiteral("clear card: Success"),
                       QStringLiteral("clear card: Fail"));
}

std::optional<UserPtr> SingleUserOperations::attributeRead(int code, const QString& userId,
                                                           const QString& failure) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    const UserPtr user = CoUserExt();
    if (!userCall(Direction::Get, code, 0, userId, {}, *user, extraProperty, extraData)) {
        prompt_.message(failure);
        return std::nullopt;
    }
    return user;
}

bool SingleUserOperations::attributeWrite(int code, const QString& userId,
                                          const std::function<void(IUserExt&)>& setUp,
                                          const QString& success, const QString& failure) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    const UserPtr user = CoUserExt();
    const bool ok = userCall(
        Direction::Set, code, 0, userId, [&](IUserExt& u, IEnrollExt&) { setUp(u); }, *user,
        extraProperty, extraData);
    return report(ok, success, failure);
}

std::optional<QString> SingleUserOperations::readUserName(const QString& userId) {
    const auto user = attributeRead(CodeUserName, userId, QStringLiteral("get user name: Fail"));
    return user ? std::optional<QString>((*user)->UserName) : std::nullopt;
}

bool SingleUserOperations::writeUserName(const QString& userId, const QString& name) {
    return attributeWrite(
        CodeUserName, userId, [&](IUserExt& user) { user.UserName = trimmedText(name); },
        QStringLiteral("set user name: success"), QStringLiteral("set user name: Fail"));
}

std::optional<QString> SingleUserOperations::readExtInfo(const QString& userId) {
    const auto user =
        attributeRead(CodeExtraInfo, userId, QStringLiteral("get user extinfo: Fail"));
    return user ? std::optional<QString>((*user)->ExtraInfo) : std::nullopt;
}

bool SingleUserOperations::writeExtInfo(const QString& userId, const QString& text) {
    return attributeWrite(
        CodeExtraInfo, userId, [&](IUserExt& user) { user.ExtraInfo = trimmedText(text); },
        QStringLiteral("set user extinfo: success"), QStringLiteral("set user extinfo: Fail"));
}

bool SingleUserOperations::setPrivilege(const QString& userId, int privilegeIndex) {
    return attributeWrite(
        CodePrivilege, userId,
        [&](IUserExt& user) { user.Privilege = PrivilegeFromIndex(privilegeIndex); },
        QStringLiteral("set user privilege: Success"), QStringLiteral("set user privilege: Fail"));
}

bool SingleUserOperations::clearUser(const QString& userId) {
    ByteVector noProperty;
    const ByteVector extraData = TZd2911Tools::EnrollNumberToBytes(trimmedText(userId));
    const bool ok =
        session_.connection().SetDeviceData(CodeUserList, noProperty, session_.device(), extraData);
    return report(ok, QStringLiteral("Clear one user: Success"),
                  QStringLiteral("Clear one user: Fail"));
}

std::optional<UserDetail> SingleUserOperations::readDetail(const QString& userId) {
    ByteVector extraProperty = NewByteVector(4);
    ByteVector extraData = NewByteVector(6);
    std::optional<UserDetail> detail;
    runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        const UserPtr user = CoUserExt();
        if (!userCall(Direction::Get, CodeUserDetail, 0, userId, {}, *user, extraProperty,
                      extraData)) {
            prompt_.message(QStringLiteral("Get user detail info: Fail"));
            return false;
        }
        const IEnrollExt& enroll = firstEnroll(*user);
        UserDetail d;
        d.password = enroll.Password;
        d.cardId = enroll.CardNumber;
        d.userName = user->UserName;
        d.extInfo = user->ExtraInfo;
        d.enabled = user->Enabled;
        d.attTypeId = QString::number(user->AttendanceType);
        d.groupId = QString::number(user->GroupId);
        d.deptId = QString::number(user->DepartmentId);
        d.passZone = QString::number(user->PassZone);
        d.lockControl = user->LockControl >= 0 && user->LockControl <= 3 ? user->LockControl : -1;
        d.validPeriod = user->ValidPeriodOn;
        d.validFrom = user->ValidFrom.date();
        d.validTo = user->ValidTo.date();
        state_.fingerprint = templateOf(enroll.FingerprintData);
        state_.detailUser = user;
        detail = d;
        return true;
    });
    return detail;
}

bool SingleUserOperations::writeDetail(const QString& userId, int privilegeIndex,
                                       const UserDetail& typed) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    return runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        // Converted before the detail user is touched, so refused text leaves it as it was.
        const int attendanceType = wholeNumber(typed.attTypeId);
        const int passZone = wholeNumber(typed.passZone);
        const int departmentId = wholeNumber(typed.deptId);
        const int groupId = wholeNumber(typed.groupId);
        if (!state_.detailUser)
            state_.detailUser = CoUserExt();
        IUserExt& user = *state_.detailUser;
        user.EnrollNumber = trimmedText(userId);
        user.Privilege = PrivilegeFromIndex(privilegeIndex);
        IEnrollExt& enroll = firstEnroll(user);
        enroll.EnrollNumber = user.EnrollNumber;
        enroll.Password = typed.password;
        enroll.CardNumber = typed.cardId;
        // The finger bits are not kept: the record carries the password and card kinds only.
        enroll.EnrollKinds = 0;
        if (!trimmedText(typed.password).isEmpty())
            enroll.EnrollKinds = TZd2911Tools::AddEnrollKind(enroll.EnrollKinds, KindPassword);
        if (!trimmedText(typed.cardId).isEmpty())
            enroll.EnrollKinds = TZd2911Tools::AddEnrollKind(enroll.EnrollKinds, KindCard);
        user.UserName = typed.userName;
        user.ExtraInfo = typed.extInfo;
        user.Enabled = typed.enabled;
        user.AttendanceType = attendanceType;
        user.LockControl = typed.lockControl;
        user.PassZone = passZone;
        user.DepartmentId = departmentId;
        user.GroupId = groupId;
        user.ValidPeriodOn = typed.validPeriod;
        user.ValidFrom = startOfDay(typed.validFrom);
        user.ValidTo = startOfDay(typed.validTo);
        return report(
            session_.connection().SetUserData(CodeUserDetail, extraProperty, user, extraData),
            QStringLiteral("Set User Detail Info: Sucess"),
            QStringLiteral("Set User Detail Info: Fail"));
    });
}
