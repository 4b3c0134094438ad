// Every device-data and user-data code through the real emulator, once over loopback TCP and
// once over a pseudo-terminal (the serial and USB path).
#include "emulator_process.h"
#include "sdk.h"

#include <QJsonArray>
#include <QTest>

namespace {

ByteVector pattern(int seed, int size) {
    ByteVector v(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 31 + seed);
    return v;
}

QString hex(const ByteVector& v) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()))
            .toHex());
}

QJsonObject terminalState() {
    QJsonObject s = EmulatorProcess::defaultState();
    s["users"] = QJsonArray{
        QJsonObject{{"enroll_number", "42"},
                    {"name", "AHMET"},
                    {"privilege", 1},
                    {"enabled", true},
                    {"password", "1234"},
                    {"card", "99887766"},
                    {"fingerprints", QJsonObject{{"0", hex(pattern(0, FingerprintTemplateSize))},
                                                 {"3", hex(pattern(3, FingerprintTemplateSize))}}}},
        QJsonObject{{"enroll_number", "7"}, {"name", "MEHMET"}, {"privilege", 2}},
        QJsonObject{{"enroll_number", "8"}, {"name", "AYŞE"}, {"privilege", 8}}};
    s["records"] = QJsonArray{QJsonObject{{"enroll_number", "42"},
                                          {"time", "2011-03-05 08:30:05"},
                                          {"terminal_number", 1},
                                          {"state_code", 0}}};
    s["bells"] = hex(pattern(9, 24 * BellRecordSize));
    return s;
}

QJsonObject userIn(const QJsonObject& state, const QString& number) {
    for (const QJsonValue u : state["users"].toArray()) {
        if (u["enroll_number"].toString() == number)
            return u.toObject();
    }
    return {};
}

QString fingerSlots(const QJsonObject& user) {
    return user["fingerprints"].toObject().keys().join(',');
}

UserPtr userNumbered(const QString& number) {
    UserPtr u = CoUserExt();
    u->EnrollNumber = number;
    u->Enrolls[0].EnrollNumber = number;
    return u;
}

} // namespace

class TestDeviceCodes : public QObject {
    Q_OBJECT
public:
    explicit TestDeviceCodes(bool overPty) : overPty_(overPty) {}

private:
    bool overPty_;
    EmulatorProcess emulator_;
    IDevice device_;
    TZd2911DeviceConnection connection_;
    ByteVector prop_ = NewByteVector(2);

    QJsonObject state() const { return emulator_.state(); }

private Q_SLOTS:
    void init() {
        EmulatorOptions options;
        options.pty = overPty_;
        QVERIFY2(emulator_.start(terminalState(), options), qPrintable(emulator_.errorText()));
        device_ = IDevice();
        device_.DeviceNumber = 1;
        device_.Password = QStringLiteral("0");
        device_.TimeoutMs = 3000;
        if (overPty_) {
            device_.ConnectionKind = 0;
            device_.BaudRate = 9600;
            device_.SerialPortName = emulator_.ptyPath();
        } else {
            device_.ConnectionKind = 1;
            device_.IpAddress = QStringLiteral("127.0.0.1");
            device_.NetworkPort = emulator_.port();
        }
        QVERIFY(connection_.OpenConnection(device_) > 0);
        prop_ = NewByteVector(2);
    }
    void cleanup() {
        connection_.CloseConnection();
        emulator_.stop();
    }

    void bellTable() {
        ByteVector data = TZd2911Tools::ValueToBytes("65", 3);
        QVERIFY(connection_.GetDeviceData(2, prop_, device_, data));
        QCOMPARE(data, pattern(9, 192));

        data[0] = 8;
        data[1] = 30;
        ByteVector selector = TZd2911Tools::ValueToBytes("65", 3);
        QVERIFY(connection_.SetDeviceData(2, selector, device_, data));
        QCOMPARE(state()["bells"].toString(), hex(data));

        // Another selector or a short table is refused and changes nothing.
        ByteVector other = TZd2911Tools::ValueToBytes("64", 3);
        ByteVector answer = other;
        QVERIFY(!connection_.GetDeviceData(2, prop_, device_, answer));
        QCOMPARE(answer, other);
        QVERIFY(!connection_.SetDeviceData(2, selector, device_, NewByteVector(100)));
        QCOMPARE(state()["bells"].toString(), hex(data));
    }

    void clock() {
        ByteVector a = NewByteVector(2);
        ByteVector b = NewByteVector(2);
        QVERIFY(connection_.GetDeviceData(10, a, device_, b));
        QCOMPARE(b, (ByteVector{24, 3, 5, 9, 7, 0}));

        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        QVERIFY(connection_.SetDeviceData(10, a, device_, NewByteVector(2)));
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);
        const QDateTime set =
            QDateTime::fromString(state()["clock"].toString(), "yyyy-MM-dd HH:mm:ss");
        QVERIFY2(set >= before.addMSecs(-before.time().msec()) && set <= after,
                 qPrintable(set.toString()));
    }

    void recordsInRangeThenCleared() {
        ByteVector data = {10, 1, 1, 11, 3, 5};
        QVERIFY(connection_.GetDeviceData(13, prop_, device_, data));
        const auto records = TZd2911Tools::BytesToRecords(data);
        QCOMPARE(records.size(), std::size_t(1));
        QCOMPARE(records[0].EnrollNumber, QStringLiteral("42"));

        ByteVector before = {10, 1, 1, 11, 3, 4};
        QVERIFY(connection_.GetDeviceData(13, prop_, device_, before));
        QVERIFY(TZd2911Tools::BytesToRecords(before).empty());

        QVERIFY(connection_.SetDeviceData(13, prop_, device_, data));
        QVERIFY(state()["records"].toArray().isEmpty());
    }

    void userList_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("all") << "0" << true << QStringList{"42", "7", "8"};
        QTest::newRow("one") << "7" << true << QStringList{"7"};
        QTest::newRow("unknown") << "99" << false << QStringList{};
    }
    void userList() {
        QFETCH(QString, which);
        QFETCH(bool, ok);
        QFETCH(QStringList, numbers);
        ByteVector p = TZd2911Tools::EnrollNumberToBytes(which);
        ByteVector data = NewByteVector(6);
        QCOMPARE(connection_.GetDeviceData(14, p, device_, data), ok);
        if (!ok)
            return;
        QStringList got;
        for (const UserPtr& u : TZd2911Tools::BytesToUsers(data))
            got << u->EnrollNumber;
        QCOMPARE(got, numbers);
        if (which == "0") {
            const auto users = TZd2911Tools::BytesToUsers(data);
            QCOMPARE(users[0]->UserName, QStringLiteral("AHMET"));
            QCOMPARE(users[2]->UserName, QStringLiteral("AYŞE"));
            QCOMPARE(users[2]->Privilege, 8);
            QCOMPARE(users[0]->Enrolls[0].EnrollKinds, (1 << 0) | (1 << 3) | (1 << 10) | (1 << 11));
        }
    }

    void deleteUsers_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("emptyProperty");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("left");
        QTest::newRow("one, as the enrollment window sends it") << "7" << true << true << 2;
        QTest::newRow("one, as the administrator cancel sends it") << "8" << false << true << 2;
        QTest::newRow("unknown") << "99" << true << false << 3;
        QTest::newRow("empty number") << "" << true << false << 3;
        QTest::newRow("all") << "0" << false << true << 0;
    }
    void deleteUsers() {
        QFETCH(QString, number);
        QFETCH(bool, emptyProperty);
        QFETCH(bool, ok);
        QFETCH(int, left);
        ByteVector p = emptyProperty ? ByteVector() : TZd2911Tools::EnrollNumberToBytes("0");
        QCOMPARE(
            connection_.SetDeviceData(14, p, device_, TZd2911Tools::EnrollNumberToBytes(number)),
            ok);
        QCOMPARE(state()["users"].toArray().size(), left);
    }

    void communicationStatus() {
        QVERIFY(connection_.SetDeviceData(16, prop_, device_, TZd2911Tools::ValueToBytes("1", 3)));
        QCOMPARE(state()["comm_status"].toInt(), 1);
        QVERIFY(connection_.SetDeviceData(16, prop_, device_, TZd2911Tools::ValueToBytes("0", 3)));
        QCOMPARE(state()["comm_status"].toInt(), 0);
    }

    void singleFields_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::newRow("name") << 0 << "42"
                              << "AHMET YILMAZ" << true << "name"
                              << "AHMET YILMAZ";
        QTest::newRow("name of an unknown user") << 0 << "99"
                                                 << "X" << false << "name"
                                                 << "";
        QTest::newRow("extra information") << 2 << "7"
                                           << "vardiya 2" << true << "extra_info"
                                           << "vardiya 2";
        QTest::newRow("privilege Customer") << 5 << "7"
                                            << "16" << true << "privilege"
                                            << "16";
        QTest::newRow("privilege not a value") << 5 << "7"
                                               << "3" << false << "privilege"
                                               << "2";
        QTest::newRow("empty number") << 0 << ""
                                      << "X" << false << "name"
                                      << "";
    }
    void singleFields() {
        QFETCH(int, code);
        QFETCH(QString, number);
        QFETCH(QString, value);
        QFETCH(bool, ok);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        UserPtr u = userNumbered(number);
        u->UserName = value;
        u->ExtraInfo = value;
        u->Privilege = value.toInt();
        ByteVector data = NewByteVector(6);
        QCOMPARE(connection_.SetUserData(code, prop_, *u, data), ok);
        const QJsonValue v = userIn(state(), number)[key];
        QCOMPARE(v.isDouble() ? QString::number(v.toInt()) : v.toString(), stored);
        if (!ok)
            return;
        UserPtr back = userNumbered(number);
        QVERIFY(connection_.GetUserData(code, prop_, *back, data));
        QCOMPARE(code == 0   ? back->UserName
                 : code == 2 ? back->ExtraInfo
                             : QString::number(back->Privilege),
                 stored);
    }

    void wholeUserLayoutAndRestore() {
        UserPtr u = userNumbered("42");
        ByteVector p = NewByteVector(4);
        ByteVector data = NewByteVector(6);
        QVERIFY(connection_.GetUserData(1, p, *u, data));
        const IEnrollExt& e = u->Enrolls[0];
        QCOMPARE(e.EnrollKinds, (1 << 0) | (1 << 3) | (1 << 10) | (1 << 11));
        ByteVector both = pattern(0, FingerprintTemplateSize);
        const ByteVector third = pattern(3, FingerprintTemplateSize);
        both.insert(both.end(), third.begin(), third.end());
        QCOMPARE(e.FingerprintData, both);
        QCOMPARE(e.Password, QStringLiteral("1234"));
        QCOMPARE(e.CardNumber, QStringLiteral("99887766"));
        QCOMPARE(u->UserName, QStringLiteral("AHMET"));
        const QJsonObject original = userIn(state(), "42");

        QVERIFY(
            connection_.SetDeviceData(14, prop_, device_, TZd2911Tools::EnrollNumberToBytes("0")));
        QVERIFY(state()["users"].toArray().isEmpty());
        QVERIFY(connection_.SetUserData(1, prop_, *u, data));
        const QJsonObject restored = userIn(state(), "42");
        for (const char* key : {"name", "privilege", "enabled", "password", "card", "fingerprints"})
            QCOMPARE(restored[key], original[key]);
    }

    void unknownUserReadsAreRefused() {
        UserPtr u = userNumbered("99");
        u->UserName = QStringLiteral("kept");
        ByteVector data = NewByteVector(6);
        QVERIFY(!connection_.GetUserData(1, prop_, *u, data));
        QCOMPARE(u->UserName, QStringLiteral("kept"));
    }

    void enrollmentReads_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("finger");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("value");
        QTest::newRow("fingerprint 3")
            << 0 << "42" << 3 << true << hex(pattern(3, FingerprintTemplateSize));
        QTest::newRow("fingerprint not enrolled") << 0 << "42" << 5 << false << "";
        QTest::newRow("finger 10") << 0 << "42" << 10 << false << "";
        QTest::newRow("password") << 3 << "42" << 0 << true << "1234";
        QTest::newRow("no password") << 3 << "7" << 0 << false << "";
        QTest::newRow("card") << 6 << "42" << 0 << true << "99887766";
        QTest::newRow("card of an unknown user") << 6 << "99" << 0 << false << "";
        QTest::newRow("a write action as a read") << 4 << "42" << 0 << false << "";
    }
    void enrollmentReads() {
        QFETCH(int, action);
        QFETCH(QString, number);
        QFETCH(int, finger);
        QFETCH(bool, ok);
        QFETCH(QString, value);
        ByteVector p = TZd2911Tools::ValueToBytes(QString::number(action), 3);
        UserPtr u = userNumbered(number);
        u->Enrolls[0].EnrollKinds = finger;
        u->Enrolls[0].FingerprintData = NewByteVector(FingerprintTemplateSize);
        ByteVector data = NewByteVector(6);
        QCOMPARE(connection_.GetUserData(7, p, *u, data), ok);
        if (!ok)
            return;
        const IEnrollExt& e = u->Enrolls[0];
        QCOMPARE(action == 0   ? hex(e.FingerprintData)
                 : action == 3 ? e.Password
                               : e.CardNumber,
                 value);
    }

    void enrollmentWrites_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("finger");
        QTest::addColumn<int>("dataSize");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("fingers");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("card");
        QTest::newRow("write finger 5") << 1 << "42" << 5 << 6 * 498 << "" << true << "0,3,5"
                                        << "1234"
                                        << "99887766";
        QTest::newRow("write finger 9, buffer too short")
            << 1 << "42" << 9 << 498 << "" << false << "0,3"
            << "1234"
            << "99887766";
        QTest::newRow("write finger of a new user") << 1 << "500" << 0 << 498 << "" << true << "0"
                                                    << ""
                                                    << "";
        QTest::newRow("clear finger 0") << 2 << "42" << 0 << 498 << "" << true << "3"
                                        << "1234"
                                        << "99887766";
        QTest::newRow("write password") << 4 << "42" << 0 << 0 << "555" << true << "0,3"
                                        << "555"
                                        << "99887766";
        QTest::newRow("write password of a new user") << 4 << "123" << 0 << 0 << "1" << true << ""
                                                      << "1"
                                                      << "";
        QTest::newRow("write empty password") << 4 << "42" << 0 << 0 << "" << false << "0,3"
                                              << "1234"
                                              << "99887766";
        QTest::newRow("clear password") << 5 << "42" << 0 << 0 << "" << true << "0,3"
                                        << ""
                                        << "99887766";
        QTest::newRow("write card") << 7 << "42" << 0 << 0 << "1" << true << "0,3"
                                    << "1234"
                                    << "1";
        QTest::newRow("write card of a new user") << 7 << "600" << 0 << 0 << "77" << true << ""
                                                  << ""
                                                  << "77";
        QTest::newRow("clear card") << 8 << "42" << 0 << 0 << "" << true << "0,3"
                                    << "1234"
                                    << "";
        QTest::newRow("clear card of an unknown user") << 8 << "99" << 0 << 0 << "" << false << ""
                                                       << ""
                                                       << "";
    }
    void enrollmentWrites() {
        QFETCH(int, action);
        QFETCH(QString, number);
        QFETCH(int, finger);
        QFETCH(int, dataSize);
        QFETCH(QString, value);
        QFETCH(bool, ok);
        QFETCH(QString, fingers);
        QFETCH(QString, password);
        QFETCH(QString, card);
        ByteVector p = TZd2911Tools::ValueToBytes(QString::number(action), 3);
        UserPtr u = userNumbered(number);
        IEnrollExt& e = u->Enrolls[0];
        e.EnrollKinds = finger;
        e.FingerprintData = NewByteVector(dataSize);
        if (action == 1 && dataSize >= (finger + 1) * FingerprintTemplateSize)
            CopyBytes(pattern(7, FingerprintTemplateSize), 0, e.FingerprintData,
                      finger * FingerprintTemplateSize, FingerprintTemplateSize);
        e.Password = value;
        e.CardNumber = value;
        ByteVector data = NewByteVector(6);
        QCOMPARE(connection_.SetUserData(7, p, *u, data), ok);
        const QJsonObject stored = userIn(state(), number);
        QCOMPARE(fingerSlots(stored), fingers);
        QCOMPARE(stored["password"].toString(), password);
        QCOMPARE(stored["card"].toString(), card);
        if (ok && action == 1)
            QCOMPARE(stored["fingerprints"][QString::number(finger)].toString(),
                     hex(pattern(7, FingerprintTemplateSize)));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestDeviceCodes overTcp(false);
    TestDeviceCodes overPty(true);
    return QTest::qExec(&overTcp, argc, argv) | QTest::qExec(&overPty, argc, argv);
}

#include "test_device_codes.moc"
