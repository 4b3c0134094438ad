#include "wire_codec.h"

#include <algorithm>
#include <limits>

namespace wire {

namespace {

// 2000-01-01 00:00:00 as seconds since 1970, the epoch of the protocol's times.
constexpr std::int64_t Epoch2000 = 946684800;
constexpr qint64 JulianDay2000 = 2451545;
// Wall-clock seconds stay within years 1 to 9999; a wider value cannot be a real time.
constexpr std::int64_t MaxWallSeconds = 400LL * 366 * 86400 * 25;

enum UserFlags : std::uint8_t {
    FlagEnabled = 0x01,
    FlagValidPeriodOn = 0x02,
    FlagValidFrom = 0x04,
    FlagValidTo = 0x08,
};

// A decimal number without leading zeros and of at most 18 digits travels as a number;
// false for anything else (which travels as text).
bool canonicalNumber(const QString& text, std::uint64_t& value) {
    const qsizetype n = text.size();
    if (n == 0 || n > 18 || (n > 1 && text[0] == QLatin1Char('0')))
        return false;
    value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < '0' || u > '9')
            return false;
        value = value * 10 + (u - '0');
    }
    return true;
}

} // namespace

void Writer::u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Writer::varint(std::uint64_t v) {
    while (v >= 0x80) {
        out_.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out_.push_back(static_cast<std::uint8_t>(v));
}

void Writer::svarint(std::int64_t v) {
    varint((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
}

void Writer::bytes(const std::uint8_t* data, std::size_t size) {
    varint(size);
    out_.insert(out_.end(), data, data + size);
}

void Writer::text(const QString& v) {
    const QByteArray utf8 = v.toUtf8();
    bytes(reinterpret_cast<const std::uint8_t*>(utf8.constData()),
          static_cast<std::size_t>(utf8.size()));
}

void Reader::fail(const char* what) {
    throw DeviceError(DeviceError::Kind::DataFormat,
                      QStringLiteral("malformed terminal data: %1").arg(QLatin1String(what)));
}

std::uint8_t Reader::u8() {
    if (p_ == end_)
        fail("unexpected end");
    return *p_++;
}

std::uint32_t Reader::u32() {
    if (remaining() < 4)
        fail("unexpected end");
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p_[i];
    p_ += 4;
    return v;
}

std::uint64_t Reader::varint() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const std::uint8_t b = u8();
        if (shift == 63 && b > 1)
            fail("number too large");
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80))
            return v;
    }
    fail("number too long");
}

std::int64_t Reader::svarint() {
    const std::uint64_t v = varint();
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

int Reader::intValue() {
    const std::int64_t v = svarint();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        fail("number out of range");
    return static_cast<int>(v);
}

ByteVector Reader::bytes() {
    const std::uint64_t n = varint();
    if (n > remaining())
        fail("length beyond the data");
    ByteVector v(p_, p_ + n);
    p_ += n;
    return v;
}

QString Reader::text() {
    const std::uint64_t n = varint();
    if (n > remaining())
        fail("length beyond the data");
    const QString v =
        QString::fromUtf8(reinterpret_cast<const char*>(p_), static_cast<qsizetype>(n));
    p_ += n;
    return v;
}

void Reader::expectEnd() const {
    if (!atEnd())
        fail("trailing bytes");
}

std::int64_t wallSeconds(const QDateTime& time) {
    return QDateTime(time.date(), time.time(), Qt::UTC).toSecsSinceEpoch() - Epoch2000;
}

QDateTime fromWallSeconds(std::int64_t seconds) {
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(seconds + Epoch2000, Qt::UTC);
    return QDateTime(utc.date(), utc.time());
}

ByteVector clockBytes(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return {static_cast<std::uint8_t>(d.year() - 2000), static_cast<std::uint8_t>(d.month()),
            static_cast<std::uint8_t>(d.day()),         static_cast<std::uint8_t>(t.hour()),
            static_cast<std::uint8_t>(t.minute()),      static_cast<std::uint8_t>(t.second())};
}

bool clockFromBytes(const ByteVector& b, QDateTime& time) {
    if (b.size() != 6)
        return false;
    const QDate d(2000 + b[0], b[1], b[2]);
    const QTime t(b[3], b[4], b[5]);
    if (!d.isValid() || !t.isValid())
        return false;
    time = QDateTime(d, t);
    return true;
}

ByteVector encodeDeviceRequest(int code, const ByteVector& extraProperty,
                               const ByteVector& extraData) {
    ByteVector out;
    Writer w(out);
    w.u8(static_cast<std::uint8_t>(code));
    w.bytes(extraProperty);
    w.bytes(extraData);
    return out;
}

DeviceRequest decodeDeviceRequest(const ByteVector& payload) {
    Reader r(payload);
    DeviceRequest q;
    q.code = r.u8();
    q.extraProperty = r.bytes();
    q.extraData = r.bytes();
    r.expectEnd();
    return q;
}

ByteVector encodeUserRequest(int code, const ByteVector& extraProperty, const ByteVector& extraData,
                             const IUserExt& user) {
    ByteVector out = encodeDeviceRequest(code, extraProperty, extraData);
    Writer w(out);
    writeUser(w, user);
    return out;
}

UserRequest decodeUserRequest(const ByteVector& payload) {
    Reader r(payload);
    UserRequest q;
    q.code = r.u8();
    q.extraProperty = r.bytes();
    q.extraData = r.bytes();
    q.user = readUser(r);
    r.expectEnd();
    return q;
}

void writeUser(Writer& w, const IUserExt& u) {
    w.text(u.EnrollNumber);
    w.svarint(u.Privilege);
    w.text(u.UserName);
    w.text(u.ExtraInfo);
    std::uint8_t flags = 0;
    if (u.Enabled)
        flags |= FlagEnabled;
    if (u.ValidPeriodOn)
        flags |= FlagValidPeriodOn;
    if (u.ValidFrom.isValid())
        flags |= FlagValidFrom;
    if (u.ValidTo.isValid())
        flags |= FlagValidTo;
    w.u8(flags);
    for (int v : {u.AttendanceType, u.DepartmentId, u.GroupId, u.PassZone, u.LockControl})
        w.svarint(v);
    if (u.ValidFrom.isValid())
        w.svarint(wallSeconds(u.ValidFrom));
    if (u.ValidTo.isValid())
        w.svarint(wallSeconds(u.ValidTo));
    w.varint(u.Enrolls.size());
    for (const IEnrollExt& e : u.Enrolls) {
        w.text(e.EnrollNumber);
        w.svarint(e.EnrollKinds);
        w.bytes(e.FingerprintData);
        w.text(e.Password);
        w.text(e.CardNumber);
    }
}

IUserExt readUser(Reader& r) {
    IUserExt u;
    u.EnrollNumber = r.text();
    u.Privilege = r.intValue();
    u.UserName = r.text();
    u.ExtraInfo = r.text();
    const std::uint8_t flags = r.u8();
    if (flags & ~(FlagEnabled | FlagValidPeriodOn | FlagValidFrom | FlagValidTo))
        Reader::fail("unknown user flags");
    u.Enabled = flags & FlagEnabled;
    u.ValidPeriodOn = flags & FlagValidPeriodOn;
    for (int* v : {&u.AttendanceType, &u.DepartmentId, &u.GroupId, &u.PassZone, &u.LockControl})
        *v = r.intValue();
    const auto readTime = [&r]() {
        const std::int64_t s = r.svarint();
        if (s < -MaxWallSeconds || s > MaxWallSeconds)
            Reader::fail("date out of range");
        return fromWallSeconds(s);
    };
    if (flags & FlagValidFrom)
        u.ValidFrom = readTime();
    if (flags & FlagValidTo)
        u.ValidTo = readTime();
    const std::uint64_t count = r.varint();
    // Every enroll takes at least five bytes; a larger count cannot be honest.
    if (count == 0 || count > r.remaining() / 5)
        Reader::fail("bad enroll count");
    u.Enrolls.clear();
    u.Enrolls.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        IEnrollExt e;
        e.EnrollNumber = r.text();
        e.EnrollKinds = r.intValue();
        e.FingerprintData = r.bytes();
        e.Password = r.text();
        e.CardNumber = r.text();
        u.Enrolls.push_back(std::move(e));
    }
    return u;
}

ByteVector encodeUser(const IUserExt& user) {
    ByteVector out;
    Writer w(out);
    writeUser(w, user);
    return out;
}

IUserExt decodeUser(const ByteVector& payload) {
    Reader r(payload);
    IUserExt u = readUser(r);
    r.expectEnd();
    return u;
}

ByteVector encodeUsers(const std::vector<IUserExt>& users) {
    ByteVector out;
    Writer w(out);
    w.varint(users.size());
    for (const IUserExt& u : users)
        writeUser(w, u);
    return out;
}

std::vector<UserPtr> decodeUsers(const ByteVector& payload) {
    Reader r(payload);
    const std::uint64_t count = r.varint();
    // A user takes at least fifteen bytes.
    if (count > r.remaining() / 15)
        Reader::fail("bad user count");
    std::vector<UserPtr> users;
    users.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i)
        users.push_back(std::make_shared<IUserExt>(readUser(r)));
    r.expectEnd();
    return users;
}

namespace {

// Builds local date-times from wall-clock seconds. Building each one through the time zone
// costs microseconds; the offset from UTC is looked up once per hour of wall-clock time (zones
// change their offset on the hour) and the time built with it, which is the same instant.
class LocalTimeMaker {
public:
    QDateTime operator()(std::int64_t seconds) {
        const std::int64_t hour = seconds >= 0 ? seconds / 3600 : (seconds - 3599) / 3600;
        if (hour != hour_) {
            hour_ = hour;
            offset_ = fromWallSeconds(hour * 3600).offsetFromUtc();
        }
        const std::int64_t day = hour >= 0 ? hour / 24 : (hour - 23) / 24;
        const std::int64_t second = seconds - day * 86400;
        return QDateTime(QDate::fromJulianDay(JulianDay2000 + day),
                         QTime::fromMSecsSinceStartOfDay(static_cast<int>(second * 1000)),
                         Qt::OffsetFromUTC, offset_);
    }

private:
    std::int64_t hour_ = std::numeric_limits<std::int64_t>::min();
    int offset_ = 0;
};

// Record head: time delta, state code (7 = written apart) and "same terminal as before".
constexpr int StateEscape = 7;

void writeRecord(Writer& w, const WireRecord& rec, std::int64_t previousSeconds,
                 int previousTerminal) {
    const std::uint64_t delta = static_cast<std::uint64_t>(rec.seconds - previousSeconds);
    const bool stateInline = rec.stateCode >= 0 && rec.stateCode < StateEscape;
    const bool sameTerminal = rec.terminalNumber == previousTerminal;
    w.varint((delta << 4) |
             (static_cast<std::uint64_t>(stateInline ? rec.stateCode : StateEscape) << 1) |
             (sameTerminal ? 1u : 0u));
    if (!stateInline)
        w.svarint(rec.stateCode);
    if (!sameTerminal)
        w.svarint(rec.terminalNumber);
    std::uint64_t number = 0;
    if (canonicalNumber(rec.enrollNumber, number)) {
        w.varint(number << 1);
    } else {
        const QByteArray utf8 = rec.enrollNumber.toUtf8();
        w.varint((static_cast<std::uint64_t>(utf8.size()) << 1) | 1);
        for (char c : utf8)
            w.u8(static_cast<std::uint8_t>(c));
    }
}

} // namespace

ByteVector encodeRecords(const std::vector<WireRecord>& records) {
    const auto byTime = [](const WireRecord& a, const WireRecord& b) {
        return a.seconds < b.seconds;
    };
    std::vector<WireRecord> sortedCopy;
    const std::vector<WireRecord>* sorted = &records;
    if (!std::is_sorted(records.begin(), records.end(), byTime)) {
        sortedCopy = records;
        std::stable_sort(sortedCopy.begin(), sortedCopy.end(), byTime);
        sorted = &sortedCopy;
    }
    ByteVector out;
    out.reserve(16 + sorted->size() * 5);
    Writer w(out);
    w.varint(sorted->size());
    if (sorted->empty())
        return out;
    std::int64_t previous = sorted->front().seconds;
    int previousTerminal = 1;
    w.svarint(previous);
    for (const WireRecord& rec : *sorted) {
        writeRecord(w, rec, previous, previousTerminal);
        previous = rec.seconds;
        previousTerminal = rec.terminalNumber;
    }
    return out;
}

std::vector<IRecordExt> decodeRecords(const ByteVector& payload) {
    Reader r(payload);
    const std::uint64_t count = r.varint();
    std::vector<IRecordExt> records;
    if (count == 0) {
        r.expectEnd();
        return records;
    }
    std::int64_t seconds = r.svarint();
    // Every record takes at least two bytes (head and enroll number).
    if (count > r.remaining() / 2)
        Reader::fail("bad record count");
    records.reserve(count);
    int terminal = 1;
    LocalTimeMaker localTime;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t head = r.varint();
        const std::uint64_t delta = head >> 4;
        if (delta > static_cast<std::uint64_t>(2 * MaxWallSeconds))
            Reader::fail("time step out of range");
        seconds += static_cast<std::int64_t>(delta);
        if (seconds < -MaxWallSeconds || seconds > MaxWallSeconds)
            Reader::fail("date out of range");
        const int stateField = static_cast<int>((head >> 1) & 7);
        IRecordExt rec;
        rec.StateCode = stateField == StateEscape ? r.intValue() : stateField;
        if (!(head & 1))
            terminal = r.intValue();
        rec.TerminalNumber = terminal;
        const std::uint64_t tag = r.varint();
        if (tag & 1) {
            const std::uint64_t n = tag >> 1;
            if (n > r.remaining())
                Reader::fail("length beyond the data");
            QByteArray utf8(static_cast<qsizetype>(n), Qt::Uninitialized);
            for (std::uint64_t k = 0; k < n; ++k)
                utf8[static_cast<qsizetype>(k)] = static_cast<char>(r.u8());
            rec.EnrollNumber = QString::fromUtf8(utf8);
        } else {
            rec.EnrollNumber = QString::number(tag >> 1);
        }
        rec.RecordTime = localTime(seconds);
        records.push_back(std::move(rec));
    }
    r.expectEnd();
    return records;
}

bool valueFromBytes(const ByteVector& bytes, std::int32_t& value) {
    if (bytes.size() != 4)
        return false;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | bytes[static_cast<std::size_t>(i)];
    value = static_cast<std::int32_t>(v);
    return true;
}

} // namespace wire
