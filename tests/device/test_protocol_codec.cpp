// The frame and payload codecs and the enroll-file format, checked against the examples written
// out in docs/protocol.md (the contract other implementations are built from).
#include "frame.h"
#include "sdk.h"
#include "wire_codec.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>

namespace {

// The hex blocks of the protocol document, by example name.
QMap<QString, ByteVector> documentExamples() {
    QFile doc(qEnvironmentVariable("SELVANO_SOURCE_DIR") + QStringLiteral("/docs/protocol.md"));
    if (!doc.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(doc.readAll());
    static const QRegularExpression block(
        QStringLiteral("<!-- example: ([a-z0-9-]+) -->\\s*```hex\\n([0-9a-f \\n]*)```"));
    QMap<QString, ByteVector> examples;
    for (auto it = block.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QByteArray bytes = QByteArray::fromHex(m.captured(2).toLatin1());
        examples.insert(m.captured(1), ByteVector(bytes.begin(), bytes.end()));
    }
    return examples;
}

IUserExt listUser() {
    IUserExt u;
    u.EnrollNumber = QStringLiteral("42");
    u.UserName = QStringLiteral("AHMET");
    u.Enrolls[0].EnrollNumber = QStringLiteral("42");
    u.Enrolls[0].EnrollKinds = TZd2911Tools::AddEnrollKind(TZd2911Tools::AddEnrollKind(0, 0), 10);
    return u;
}

std::vector<wire::WireRecord> exampleRecords() {
    const auto at = [](int h, int m, int s) {
        return wire::wallSeconds(QDateTime(QDate(2011, 3, 5), QTime(h, m, s)));
    };
    return {{at(8, 30, 5), QStringLiteral("123"), 1, 0},
            {at(8, 31, 0), QStringLiteral("0042"), 3, 9},
            {at(17, 45, 10), QStringLiteral("123"), 3, 1}};
}

IUserExt fullUser(const QString& number, int fingers) {
    IUserExt u;
    u.EnrollNumber = number;
    u.Privilege = 8;
    u.UserName = QStringLiteral("Çağrı Öztürk");
    u.ExtraInfo = QStringLiteral("vardiya 2");
    u.Enabled = false;
    u.AttendanceType = 3;
    u.DepartmentId = 12;
    u.GroupId = 4;
    u.PassZone = 100;
    u.LockControl = -1;
    u.ValidPeriodOn = true;
    u.ValidFrom = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    u.ValidTo = QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59));
    IEnrollExt& e = u.Enrolls[0];
    e.EnrollNumber = number;
    e.Password = QStringLiteral(" 12 ");
    e.CardNumber = QStringLiteral("99887766");
    for (int k = 0; k < fingers; ++k) {
        e.EnrollKinds = TZd2911Tools::AddEnrollKind(e.EnrollKinds, k * 2);
        for (int i = 0; i < FingerprintTemplateSize; ++i)
            e.FingerprintData.push_back(static_cast<std::uint8_t>(i * 7 + k));
    }
    e.EnrollKinds = TZd2911Tools::AddEnrollKind(e.EnrollKinds, 11);
    return u;
}

void compareUsers(const IUserExt& a, const IUserExt& b) {
    QCOMPARE(a.EnrollNumber, b.EnrollNumber);
    QCOMPARE(a.Privilege, b.Privilege);
    QCOMPARE(a.UserName, b.UserName);
    QCOMPARE(a.ExtraInfo, b.ExtraInfo);
    QCOMPARE(a.Enabled, b.Enabled);
    QCOMPARE(a.AttendanceType, b.AttendanceType);
    QCOMPARE(a.DepartmentId, b.DepartmentId);
    QCOMPARE(a.GroupId, b.GroupId);
    QCOMPARE(a.PassZone, b.PassZone);
    QCOMPARE(a.LockControl, b.LockControl);
    QCOMPARE(a.ValidPeriodOn, b.ValidPeriodOn);
    QCOMPARE(a.ValidFrom, b.ValidFrom);
    QCOMPARE(a.ValidTo, b.ValidTo);
    QCOMPARE(a.Enrolls.size(), b.Enrolls.size());
    for (std::size_t i = 0; i < a.Enrolls.size(); ++i) {
        QCOMPARE(a.Enrolls[i].EnrollNumber, b.Enrolls[i].EnrollNumber);
        QCOMPARE(a.Enrolls[i].EnrollKinds, b.Enrolls[i].EnrollKinds);
        QCOMPARE(a.Enrolls[i].FingerprintData, b.Enrolls[i].FingerprintData);
        QCOMPARE(a.Enrolls[i].Password, b.Enrolls[i].Password);
        QCOMPARE(a.Enrolls[i].CardNumber, b.Enrolls[i].CardNumber);
    }
}

QByteArray asBytes(const ByteVector& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

} // namespace

class TestProtocolCodec : public QObject {
    Q_OBJECT
private:
    QMap<QString, ByteVector> examples_;

private Q_SLOTS:
    void initTestCase() {
        examples_ = documentExamples();
        QCOMPARE(examples_.size(), 9);
    }

    void crc32CheckValue() {
        const QByteArray text("123456789");
        QCOMPARE(frame::crc32(reinterpret_cast<const std::uint8_t*>(text.constData()), 9),
                 0xCBF43926u);
    }

    void framesMatchTheDocument_data() {
        QTest::addColumn<QString>("example");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QByteArray>("payload");
        const auto busy =
            wire::encodeDeviceRequest(16, NewByteVector(2), TZd2911Tools::ValueToBytes("1", 3));
        const auto read = wire::encodeDeviceRequest(13, NewByteVector(2), {10, 1, 1, 11, 3, 5});
        QTest::newRow("login request")
            << "login-request" << int(frame::Login) << 0 << 1 << QByteArray("0");
        QTest::newRow("login ok") << "login-ok" << int(frame::Login) << int(frame::Ok) << 1
                                  << QByteArray();
        QTest::newRow("login refused")
            << "login-refused" << int(frame::Login) << int(frame::Refused) << 1 << QByteArray();
        QTest::newRow("busy") << "busy-request" << int(frame::SetDeviceData) << 0 << 2
                              << asBytes(busy);
        QTest::newRow("record read")
            << "records-request" << int(frame::GetDeviceData) << 0 << 3 << asBytes(read);
    }
    void framesMatchTheDocument() {
        QFETCH(QString, example);
        QFETCH(int, command);
        QFETCH(int, status);
        QFETCH(int, sequence);
        QFETCH(QByteArray, payload);
        frame::Frame f;
        f.command = static_cast<std::uint8_t>(command);
        f.status = static_cast<std::uint8_t>(status);
        f.device = 1;
        f.sequence = static_cast<std::uint16_t>(sequence);
        f.payload.assign(payload.begin(), payload.end());
        const ByteVector& expected = examples_.value(example);
        QCOMPARE(frame::encode(f), expected);

        frame::Frame back;
        std::size_t used = 0;
        QCOMPARE(frame::decode(expected.data(), expected.size(), back, used),
                 frame::Parse::Complete);
        QCOMPARE(used, expected.size());
        QCOMPARE(back.command, f.command);
        QCOMPARE(back.status, f.status);
        QCOMPARE(back.sequence, f.sequence);
        QCOMPARE(back.payload, f.payload);
        // Every shorter prefix is an incomplete, not a malformed, frame.
        for (std::size_t n = 0; n < expected.size(); ++n)
            QCOMPARE(frame::decode(expected.data(), n, back, used), frame::Parse::NeedMore);
    }

    void damagedFramesAreMalformed_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::newRow("magic") << 0 << 0x54;
        QTest::newRow("second magic byte") << 1 << 0x00;
        QTest::newRow("payload bit") << 14 << 0x31;
        QTest::newRow("sequence") << 12 << 0x02;
        QTest::newRow("checksum") << 18 << 0x00;
        QTest::newRow("length beyond limit") << 5 << 0x7F;
    }
    void damagedFramesAreMalformed() {
        QFETCH(int, offset);
        QFETCH(int, value);
        ByteVector bytes = examples_.value("login-request");
        bytes[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
        frame::Frame f;
        std::size_t used = 0;
        QCOMPARE(frame::decode(bytes.data(), bytes.size(), f, used), frame::Parse::Malformed);
    }

    void recordsMatchTheDocument() {
        QCOMPARE(wire::encodeRecords(exampleRecords()), examples_.value("records"));
        const auto records = TZd2911Tools::BytesToRecords(examples_.value("records"));
        QCOMPARE(records.size(), std::size_t(3));
        QCOMPARE(records[1].EnrollNumber, QStringLiteral("0042"));
        QCOMPARE(records[1].RecordTime, QDateTime(QDate(2011, 3, 5), QTime(8, 31, 0)));
        QCOMPARE(records[1].TerminalNumber, 3);
        QCOMPARE(records[1].StateCode, 9);
        QCOMPARE(records[2].RecordTime, QDateTime(QDate(2011, 3, 5), QTime(17, 45, 10)));
        QCOMPARE(records[2].TerminalNumber, 3);
        QCOMPARE(records[2].StateCode, 1);
    }

    void recordsRoundTrip_data() {
        QTest::addColumn<QString>("enrollNumber");
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<int>("terminal");
        QTest::addColumn<int>("state");
        const QDateTime t(QDate(2024, 3, 5), QTime(9, 7, 0));
        QTest::newRow("plain") << "123" << t << 1 << 0;
        QTest::newRow("zero") << "0" << t << 1 << 1;
        QTest::newRow("leading zeros kept") << "000123" << t << 1 << 0;
        QTest::newRow("letters") << "A-17" << t << 2 << 0;
        QTest::newRow("empty number") << "" << t << 1 << 0;
        QTest::newRow("19 digits") << "1234567890123456789" << t << 1 << 0;
        QTest::newRow("negative state") << "5" << t << 1 << -3;
        QTest::newRow("large state and terminal") << "5" << t << 70000 << 255;
        QTest::newRow("before 2000")
            << "5" << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) << 1 << 0;
        QTest::newRow("far future") << "5" << QDateTime(QDate(2255, 1, 1), QTime(0, 0)) << 1 << 0;
    }
    void recordsRoundTrip() {
        QFETCH(QString, enrollNumber);
        QFETCH(QDateTime, time);
        QFETCH(int, terminal);
        QFETCH(int, state);
        // Given out of order: the answer comes sorted by time.
        const std::vector<wire::WireRecord> in = {
            {wire::wallSeconds(time) + 60, QStringLiteral("9"), 1, 0},
            {wire::wallSeconds(time), enrollNumber, terminal, state}};
        const auto out = wire::decodeRecords(wire::encodeRecords(in));
        QCOMPARE(out.size(), std::size_t(2));
        QCOMPARE(out[0].EnrollNumber, enrollNumber);
        QCOMPARE(out[0].RecordTime, time);
        QCOMPARE(out[0].TerminalNumber, terminal);
        QCOMPARE(out[0].StateCode, state);
        QCOMPARE(out[1].RecordTime, time.addSecs(60));
        QCOMPARE(out[1].TerminalNumber, 1);
    }

    void recordTimesKeepTheirWallClockAcrossSummerTime() {
        // The terminal's clock is wall-clock time: every record reads back as it was stamped,
        // also in the hours a zone changes its offset.
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        ::tzset();
        const QList<QDateTime> times = {QDateTime(QDate(2021, 3, 28), QTime(1, 59, 59)),
                                        QDateTime(QDate(2021, 3, 28), QTime(3, 0, 0)),
                                        QDateTime(QDate(2021, 10, 31), QTime(2, 30, 0)),
                                        QDateTime(QDate(2021, 10, 31), QTime(3, 0, 1))};
        std::vector<wire::WireRecord> in;
        for (const QDateTime& t : times)
            in.push_back({wire::wallSeconds(t), QStringLiteral("1"), 1, 0});
        const auto out = wire::decodeRecords(wire::encodeRecords(in));
        for (int i = 0; i < times.size(); ++i) {
            QCOMPARE(out[std::size_t(i)].RecordTime.date(), times[i].date());
            QCOMPARE(out[std::size_t(i)].RecordTime.time(), times[i].time());
        }
        QVERIFY(out[0].RecordTime < out[1].RecordTime);
        QCOMPARE(out[1].RecordTime, times[1]);
        if (zone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        ::tzset();
    }

    void noRecords() { QVERIFY(TZd2911Tools::BytesToRecords(wire::encodeRecords({})).empty()); }

    void malformedAnswersThrow_data() {
        QTest::addColumn<QString>("example");
        QTest::addColumn<bool>("users");
        QTest::newRow("records") << "records" << false;
        QTest::newRow("user list") << "user-list" << true;
    }
    void malformedAnswersThrow() {
        QFETCH(QString, example);
        QFETCH(bool, users);
        const ByteVector whole = examples_.value(example);
        const auto decode = [users](const ByteVector& b) {
            if (users)
                TZd2911Tools::BytesToUsers(b);
            else
                TZd2911Tools::BytesToRecords(b);
        };
        // Every truncation and a trailing byte are malformed, never a shorter list.
        for (std::size_t n = 0; n < whole.size(); ++n)
            QVERIFY_THROWS_EXCEPTION(DeviceError,
                                     decode(ByteVector(whole.begin(), whole.begin() + long(n))));
        ByteVector longer = whole;
        longer.push_back(0);
        QVERIFY_THROWS_EXCEPTION(DeviceError, decode(longer));
        // A count far beyond the data is refused before anything is reserved.
        ByteVector huge(whole.begin() + 1, whole.end());
        const std::uint8_t hugeCount[] = {0xff, 0xff, 0xff, 0xff, 0x0f};
        huge.insert(huge.begin(), std::begin(hugeCount), std::end(hugeCount));
        QVERIFY_THROWS_EXCEPTION(DeviceError, decode(huge));
    }

    void userListMatchesTheDocument() {
        QCOMPARE(wire::encodeUsers({listUser()}), examples_.value("user-list"));
        const auto users = TZd2911Tools::BytesToUsers(examples_.value("user-list"));
        QCOMPARE(users.size(), std::size_t(1));
        compareUsers(*users[0], listUser());
        QVERIFY(TZd2911Tools::HasEnrollKind(users[0]->Enrolls[0].EnrollKinds, 10));
        QVERIFY(!TZd2911Tools::HasEnrollKind(users[0]->Enrolls[0].EnrollKinds, 11));
    }

    void userRequestMatchesTheDocument() {
        IUserExt u;
        u.EnrollNumber = QStringLiteral("7");
        u.Enrolls[0].EnrollNumber = QStringLiteral("7");
        u.Enrolls[0].CardNumber = QStringLiteral("99887766");
        const ByteVector payload =
            wire::encodeUserRequest(7, TZd2911Tools::ValueToBytes("7", 3), {}, u);
        QCOMPARE(payload, examples_.value("set-card-payload"));
        const wire::UserRequest q = wire::decodeUserRequest(payload);
        QCOMPARE(q.code, std::uint8_t(7));
        compareUsers(q.user, u);
    }

    void wholeUserRoundTrip() {
        const IUserExt u = fullUser(QStringLiteral("42"), 3);
        compareUsers(wire::decodeUser(wire::encodeUser(u)), u);
    }

    void enrollKinds_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("has");
        QTest::addColumn<int>("added");
        QTest::newRow("finger 0") << 0 << 0 << false << 1;
        QTest::newRow("card on password") << 1024 << 11 << false << 3072;
        QTest::newRow("password held") << 1024 << 10 << true << 1024;
        QTest::newRow("negative kind") << 5 << -1 << false << 5;
        QTest::newRow("kind beyond the mask") << 5 << 40 << false << 5;
    }
    void enrollKinds() {
        QFETCH(int, mask);
        QFETCH(int, kind);
        QFETCH(bool, has);
        QFETCH(int, added);
        QCOMPARE(TZd2911Tools::HasEnrollKind(mask, kind), has);
        QCOMPARE(TZd2911Tools::AddEnrollKind(mask, kind), added);
    }

    void oneEnrollFileMatchesTheDocument() {
        QTemporaryDir dir;
        const QString path = dir.filePath("OD_42.db");
        QVERIFY(TZd2911EnrollFile::SaveOneEnroll(path, listUser()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), asBytes(examples_.value("one-enroll-file")));
        IUserExt loaded;
        QVERIFY(TZd2911EnrollFile::LoadOneEnroll(path, loaded));
        compareUsers(loaded, listUser());
    }

    void allEnrollFileGivesBackEveryUserWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("allenroll.fpt");
        std::vector<UserPtr> users;
        for (int i = 0; i < 4; ++i)
            users.push_back(std::make_shared<IUserExt>(fullUser(QString::number(i + 1), i)));
        QVERIFY(TZd2911EnrollFile::SaveAllEnrolls(path, users));
        std::vector<UserPtr> loaded;
        QVERIFY(TZd2911EnrollFile::LoadAllEnrolls(path, loaded));
        QCOMPARE(loaded.size(), users.size());
        for (std::size_t i = 0; i < users.size(); ++i)
            compareUsers(*loaded[i], *users[i]);
        // An empty set is a valid file too.
        QVERIFY(TZd2911EnrollFile::SaveAllEnrolls(path, {}));
        QVERIFY(TZd2911EnrollFile::LoadAllEnrolls(path, loaded));
        QVERIFY(loaded.empty());
    }

    void badEnrollFilesLoadNothing_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("missing") << "missing";
        QTest::newRow("empty") << "empty";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("one byte flipped") << "flip";
        QTest::newRow("one-enroll file") << "other kind";
        QTest::newRow("newer version") << "version";
        QTest::newRow("foreign") << "foreign";
        QTest::newRow("appended bytes") << "appended";
    }
    void badEnrollFilesLoadNothing() {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath("allenroll.fpt");
        const std::vector<UserPtr> saved = {
            std::make_shared<IUserExt>(fullUser(QStringLiteral("1"), 2))};
        QVERIFY(TZd2911EnrollFile::SaveAllEnrolls(path, saved));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        if (damage == "missing")
            QVERIFY(file.remove());
        else if (damage == "empty")
            bytes.clear();
        else if (damage == "truncated")
            bytes.chop(5);
        else if (damage == "flip")
            bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x10);
        else if (damage == "other kind")
            QVERIFY(TZd2911EnrollFile::SaveOneEnroll(path, *saved[0]));
        else if (damage == "version")
            bytes[4] = 2;
        else if (damage == "foreign")
            bytes = QByteArray("[Options]\r\nveriSil=1\r\n");
        else if (damage == "appended")
            bytes.append('\0');
        if (damage != "missing" && damage != "other kind") {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();
        }
        const UserPtr before = std::make_shared<IUserExt>(fullUser(QStringLiteral("9"), 1));
        std::vector<UserPtr> users = {before};
        QVERIFY(!TZd2911EnrollFile::LoadAllEnrolls(path, users));
        QCOMPARE(users.size(), std::size_t(1));
        QCOMPARE(users[0], before);
    }
};

QTEST_GUILESS_MAIN(TestProtocolCodec)
#include "test_protocol_codec.moc"
