#include "terminal_state.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <tuple>
#include <unistd.h>

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTime parseTime(const QJsonValue& v) {
    return QDateTime::fromString(v.toString(), TimeFormat);
}

ByteVector fromHex(const QString& hex) {
    const QByteArray b = QByteArray::fromHex(hex.toLatin1());
    return ByteVector(b.begin(), b.end());
}

QString toHex(const ByteVector& v) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()))
            .toHex());
}

EmulatedUser userFromJson(const QJsonObject& o) {
    EmulatedUser u;
    u.enrollNumber = o.value(QStringLiteral("enroll_number")).toString();
    u.name = o.value(QStringLiteral("name")).toString();
    u.extraInfo = o.value(QStringLiteral("extra_info")).toString();
    u.privilege = o.value(QStringLiteral("privilege")).toInt(1);
    u.enabled = o.value(QStringLiteral("enabled")).toBool(true);
    u.attendanceType = o.value(QStringLiteral("attendance_type")).toInt();
    u.departmentId = o.value(QStringLiteral("department_id")).toInt();
    u.groupId = o.value(QStringLiteral("group_id")).toInt();
    u.passZone = o.value(QStringLiteral("pass_zone")).toInt();
    u.lockControl = o.value(QStringLiteral("lock_control")).toInt();
    u.validPeriodOn = o.value(QStringLiteral("valid_period_on")).toBool();
    u.validFrom = parseTime(o.value(QStringLiteral("valid_from")));
    u.validTo = parseTime(o.value(QStringLiteral("valid_to")));
    u.password = o.value(QStringLiteral("password")).toString();
    u.card = o.value(QStringLiteral("card")).toString();
    const QJsonObject fps = o.value(QStringLiteral("fingerprints")).toObject();
    for (auto it = fps.begin(); it != fps.end(); ++it) {
        bool ok = false;
        const int slot = it.key().toInt(&ok);
        if (ok && slot >= 0 && slot < FingerSlotCount) {
            ByteVector t = fromHex(it.value().toString());
            t.resize(FingerprintTemplateSize);
            u.fingerprints[slot] = std::move(t);
        }
    }
    return u;
}

QJsonObject recordToJson(const wire::WireRecord& r) {
    return QJsonObject{
        {QStringLiteral("enroll_number"), r.enrollNumber},
        {QStringLiteral("time"), wire::fromWallSeconds(r.seconds).toString(TimeFormat)},
        {QStringLiteral("terminal_number"), r.terminalNumber},
        {QStringLiteral("state_code"), r.stateCode}};
}

QJsonObject userToJson(const EmulatedUser& u) {
    QJsonObject o;
    o.insert(QStringLiteral("enroll_number"), u.enrollNumber);
    o.insert(QStringLiteral("name"), u.name);
    o.insert(QStringLiteral("extra_info"), u.extraInfo);
    o.insert(QStringLiteral("privilege"), u.privilege);
    o.insert(QStringLiteral("enabled"), u.enabled);
    o.insert(QStringLiteral("attendance_type"), u.attendanceType);
    o.insert(QStringLiteral("department_id"), u.departmentId);
    o.insert(QStringLiteral("group_id"), u.groupId);
    o.insert(QStringLiteral("pass_zone"), u.passZone);
    o.insert(QStringLiteral("lock_control"), u.lockControl);
    o.insert(QStringLiteral("valid_period_on"), u.validPeriodOn);
    if (u.validFrom.isValid())
        o.insert(QStringLiteral("valid_from"), u.validFrom.toString(TimeFormat));
    if (u.validTo.isValid())
        o.insert(QStringLiteral("valid_to"), u.validTo.toString(TimeFormat));
    o.insert(QStringLiteral("password"), u.password);
    o.insert(QStringLiteral("card"), u.card);
    QJsonObject fps;
    for (const auto& [slot, data] : u.fingerprints)
        fps.insert(QString::number(slot), toHex(data));
    o.insert(QStringLiteral("fingerprints"), fps);
    return o;
}

} // namespace

bool operator==(const EmulatedUser& a, const EmulatedUser& b) {
    const auto fields = [](const EmulatedUser& u) {
        return std::tie(u.enrollNumber, u.name, u.extraInfo, u.privilege, u.enabled,
                        u.attendanceType, u.departmentId, u.groupId, u.passZone, u.lockControl,
                        u.validPeriodOn, u.validFrom, u.validTo, u.password, u.card,
                        u.fingerprints);
    };
    return fields(a) == fields(b);
}

int EmulatedUser::enrollKinds() const {
    int kinds = 0;
    for (const auto& entry : fingerprints)
        kinds |= 1 << entry.first;
    if (!password.isEmpty())
        kinds |= 1 << 10;
    if (!card.isEmpty())
        kinds |= 1 << 11;
    return kinds;
}

bool TerminalState::load(const QString& path) {
    path_ = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        error_ = QStringLiteral("%1 is not a JSON object: %2").arg(path, parseError.errorString());
        return false;
    }
    QJsonObject o = doc.object();
    deviceNumber = static_cast<std::uint32_t>(o.take(QStringLiteral("device_number")).toInt(1));
    const QJsonValue pw = o.take(QStringLiteral("password"));
    password = pw.isDouble() ? QString::number(pw.toInt()) : pw.toString(QStringLiteral("0"));
    const QJsonValue clockValue = o.take(QStringLiteral("clock"));
    clockFromHost = clockValue.isUndefined() || clockValue.isNull();
    if (!clockFromHost) {
        clock = parseTime(clockValue);
        if (!clock.isValid()) {
            error_ = QStringLiteral("clock \"%1\" is not yyyy-MM-dd HH:mm:ss")
                         .arg(clockValue.toString());
            return false;
        }
    }
    commStatus = o.take(QStringLiteral("comm_status")).toInt();
    bells = fromHex(o.take(QStringLiteral("bells")).toString());
    if (bells.size() < static_cast<std::size_t>(24 * BellRecordSize))
        bells.resize(24 * BellRecordSize);
    users.clear();
    for (const QJsonValue v : o.take(QStringLiteral("users")).toArray())
        users.push_back(userFromJson(v.toObject()));
    clearRecords();
    for (const QJsonValue v : o.take(QStringLiteral("records")).toArray()) {
        const QJsonObject r = v.toObject();
        const QDateTime time = parseTime(r.value(QStringLiteral("time")));
        if (!time.isValid())
            continue;
        records.push_back({wire::wallSeconds(time),
                           r.value(QStringLiteral("enroll_number")).toString(),
                           r.value(QStringLiteral("terminal_number")).toInt(1),
                           r.value(QStringLiteral("state_code")).toInt()});
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
    faults = o.take(QStringLiteral("faults")).toObject();
    extra_ = o;
    return true;
}

bool TerminalState::save() {
    QJsonObject o = extra_;
    o.insert(QStringLiteral("device_number"), static_cast<qint64>(deviceNumber));
    o.insert(QStringLiteral("password"), password);
    if (!clockFromHost)
        o.insert(QStringLiteral("clock"), clock.toString(TimeFormat));
    o.insert(QStringLiteral("comm_status"), commStatus);
    o.insert(QStringLiteral("bells"), toHex(bells));
    if (!faults.isEmpty())
        o.insert(QStringLiteral("faults"), faults);

    // The users and records are spliced in as text kept from earlier saves: a change to one
    // user costs the text of that user, not of the whole terminal.
    if (recordsText_.isEmpty()) {
        QJsonArray recordArray;
        for (const wire::WireRecord& r : records)
            recordArray.append(recordToJson(r));
        recordsText_ = QJsonDocument(recordArray).toJson(QJsonDocument::Compact);
    }
    // One buffer kept between saves: a fresh one of some megabytes costs more in page faults
    // than the copying.
    QByteArray& text = saveText_;
    text.resize(0);
    text += QJsonDocument(o).toJson(QJsonDocument::Compact);
    text.chop(1); // the closing brace; the object is never empty
    text += ",\"users\":";
    appendUsersText(text);
    text += ",\"records\":";
    text += recordsText_;
    text += '}';
    // The text goes into a spare file that then trades places with the state file in one
    // atomic exchange: readers see the old or the new state, never a part. No file is created
    // or freed per save (on a file system mounted with discard that cost milliseconds a save);
    // the spare is overwritten in place. Not synced to disk: the file serves tests, not a power
    // cut.
    const QByteArray target = QFile::encodeName(path_);
    const QByteArray spare = QFile::encodeName(path_ + QStringLiteral(".new"));
    const int fd = ::open(spare.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = QStringLiteral("cannot write %1: %2")
                     .arg(QFile::decodeName(spare), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const char* data = text.constData();
    std::size_t left = static_cast<std::size_t>(text.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    const bool written = left == 0 && ::ftruncate(fd, static_cast<off_t>(text.size())) == 0;
    const int writeErrno = errno;
    ::close(fd);
    if (!written) {
        error_ =
            QStringLiteral("cannot write %1: %2")
                .arg(QFile::decodeName(spare), QString::fromLocal8Bit(std::strerror(writeErrno)));
        return false;
    }
    // A plain rename where the file system cannot exchange (or the state file is gone).
    if (::renameat2(AT_FDCWD, spare.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) !=
            0 &&
        ::rename(spare.constData(), target.constData()) != 0) {
        error_ = QStringLiteral("cannot replace %1").arg(path_);
        return false;
    }
    return true;
}

void TerminalState::appendUsersText(QByteArray& text) {
    // Users are changed in place through findUser() and the list, so a cached text is reused
    // only while the user still equals the copy it was made from.
    savedUsers_.resize(users.size());
    savedUserTexts_.resize(users.size());
    qsizetype size = text.size() + 2;
    for (std::size_t i = 0; i < users.size(); ++i) {
        if (savedUserTexts_[i].isEmpty() || !(savedUsers_[i] == users[i])) {
            savedUsers_[i] = users[i];
            savedUserTexts_[i] = QJsonDocument(userToJson(users[i])).toJson(QJsonDocument::Compact);
        }
        size += savedUserTexts_[i].size() + 1;
    }
    text.reserve(size + recordsText_.size() + 32);
    text += '[';
    for (std::size_t i = 0; i < savedUserTexts_.size(); ++i) {
        if (i > 0)
            text += ',';
        text += savedUserTexts_[i];
    }
    text += ']';
}

void TerminalState::clearRecords() {
    records.clear();
    recordsText_.clear();
}

EmulatedUser* TerminalState::findUser(const QString& enrollNumber) {
    const auto it = std::find_if(users.begin(), users.end(), [&](const EmulatedUser& u) {
        return u.enrollNumber == enrollNumber;
    });
    return it == users.end() ? nullptr : &*it;
}

void TerminalState::generateRecords(int count) {
    // A fixed sequence, so that runs and benchmarks can be compared.
    std::uint64_t seed = 0x9E3779B97F4A7C15ull;
    const auto next = [&seed](std::uint64_t range) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return (seed >> 33) % range;
    };
    const std::int64_t start = wire::wallSeconds(QDateTime(QDate(2023, 1, 2), QTime(0, 0)));
    const int people = 400;
    // Four passes a day per person at working hours, spread over as many days as needed.
    const int perDay = people * 4;
    std::vector<wire::WireRecord> generated;
    generated.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::int64_t day = i / perDay;
        const int pass = static_cast<int>(next(4));
        const std::int64_t hour = (pass == 0 ? 8 : pass == 1 ? 12 : pass == 2 ? 13 : 17);
        const std::int64_t seconds =
            start + day * 86400 + hour * 3600 + static_cast<std::int64_t>(next(3600));
        generated.push_back(
            {seconds, QString::number(1 + next(people)), static_cast<int>(deviceNumber), pass % 2});
    }
    records.insert(records.end(), generated.begin(), generated.end());
    recordsText_.clear();
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
}
