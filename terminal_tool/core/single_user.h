#pragma once
// The operations of the enrollment window's "TEK DATA" page: one user's fingerprint, password,
// card, name, extra information, privilege, whole record, or the user as a whole.
// Each reports its outcome through the prompt in the terminal's English words.

#include "enroll_work.h"

#include <QDate>
#include <QString>
#include <optional>

class Prompt;

// The detail fields of the page, as the detail read fills them and the detail write reads them.
// The whole-number fields are kept as typed, so a write can refuse text that is no number.
struct UserDetail {
    QString password;
    QString cardId;
    QString userName;
    QString extInfo;
    bool enabled = false;
    QString attTypeId = QStringLiteral("0");
    QString deptId = QStringLiteral("0");
    QString groupId = QStringLiteral("0");
    QString passZone = QStringLiteral("0");
    int lockControl = -1; // list index, -1 while nothing is chosen
    bool validPeriod = false;
    QDate validFrom;
    QDate validTo;
};

class SingleUserOperations {
public:
    // userId arguments are the user number as typed; every operation trims it.
    SingleUserOperations(DeviceSession& session, EnrollState& state, Prompt& prompt);

    // Fingerprint actions, between the busy and idle status. The read fills state.fingerprint;
    // the write sends it as finger n.
    bool readFingerprint(const QString& userId, int finger);
    bool writeFingerprint(const QString& userId, int finger);
    bool clearFingerprint(const QString& userId, int finger);

    std::optional<QString> readPassword(const QString& userId);
    bool writePassword(const QString& userId, const QString& password);
    bool clearPassword(const QString& userId);
    std::optional<QString> readCard(const QString& userId);
    bool writeCard(const QString& userId, const QString& card);
    bool clearCard(const QString& userId);

    std::optional<QString> readUserName(const QString& userId);
    bool writeUserName(const QString& userId, const QString& name);
    std::optional<QString> readExtInfo(const QString& userId);
    bool writeExtInfo(const QString& userId, const QString& text);
    bool setPrivilege(const QString& userId, int privilegeIndex);

    bool clearUser(const QString& userId);

    // Whole user record, between the busy and idle status. The read keeps the user as the
    // detail user and its fingerprint in state.fingerprint; the write reuses the detail user.
    // A whole-number field that is no number throws std::runtime_error before anything is sent.
    std::optional<UserDetail> readDetail(const QString& userId);
    bool writeDetail(const QString& userId, int privilegeIndex, const UserDetail& typed);

    // What the fingerprint write sends for finger n: (n + 1) templates, the buffer in the last.
    static ByteVector fingerprintWriteVector(const ByteVector& buffer, int finger);

private:
    enum class Direction { Get, Set };
    // One user-data call for a fresh user numbered userId; setUp fills what the call carries.
    // For an enrollment action (code 7) the action number goes in extraProperty first.
    bool userCall(Direction direction, int code, int action, const QString& userId,
                  const std::function<void(IUserExt&, IEnrollExt&)>& setUp, IUserExt& user,
                  ByteVector& extraProperty, ByteVector& extraData);
    // A write or delete of the page: the call, then its success or its failure text.
    bool report(bool ok, const QString& success, const QString& failure);
    bool enrollWrite(int action, bool wrapped, const QString& userId,
                     const std::function<void(IEnrollExt&)>& setUp, const QString& success,
                     const QString& failure);
    std::optional<IEnrollExt> enrollRead(int action, const QString& userId,
                                         const std::function<void(IEnrollExt&)>& setUp,
                                         const QString& failure);
    std::optional<UserPtr> attributeRead(int code, const QString& userId, const QString& failure);
    bool attributeWrite(int code, const QString& userId,
                        const std::function<void(IUserExt&)>& setUp, const QString& success,
                        const QString& failure);

    DeviceSession& session_;
    EnrollState& state_;
    Prompt& prompt_;
};
