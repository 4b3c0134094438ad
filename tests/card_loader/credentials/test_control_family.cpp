// The terminal control against the emulated "SelvanoNorvi" terminal (--family control).

#include "control_codec.h"
#include "control_sbxpc.h"
#include "emulator_process.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTcpServer>
#include <QTest>

using namespace control;

namespace {

QJsonObject credential(int enroll, int backup, int value) {
    return {{"enroll_number", enroll}, {"backup_number", backup}, {"value", value}};
}

// Terminal 1, password 0; user 7 with a card and a password.
QJsonObject stateWithUser7() {
    QJsonObject s = EmulatorProcess::defaultState();
    s["users"] = QJsonArray{QJsonObject{{"enroll_number", "7"}, {"name", "Ayşe"}}};
    s["credentials"] =
        QJsonArray{credential(7, BackupCard, 555), credential(7, BackupPassword, 0x321)};
    return s;
}

EmulatorOptions controlFamily(const QStringList& arguments = {}) {
    EmulatorOptions options;
    options.family = QStringLiteral("control");
    options.arguments = arguments;
    return options;
}

qint32 lastError(TSBXPC& c) {
    qint32 code = -1;
    c.ReadLastError(code);
    return code;
}

QSet<QString> credentialsOf(const QJsonObject& state) {
    QSet<QString> out;
    for (const QJsonValue v : state["credentials"].toArray())
        out.insert(QStringLiteral("%1/%2=%3")
                       .arg(v["enroll_number"].toInt())
                       .arg(v["backup_number"].toInt())
                       .arg(v["value"].toInt()));
    return out;
}

QStringList userNumbers(const QJsonObject& state) {
    QStringList out;
    for (const QJsonValue v : state["users"].toArray())
        out << v["enroll_number"].toVariant().toString();
    return out;
}

} // namespace

class TestControlFamily : public QObject {
    Q_OBJECT
    QString ip_ = QStringLiteral("127.0.0.1");
    std::vector<qint32> buffer_ = std::vector<qint32>(355, 0);

private Q_SLOTS:
    void linkRefused_data() {
        QTest::addColumn<int>("machine");
        QTest::addColumn<int>("password");
        QTest::newRow("wrong password") << 1 << 1234;
        QTest::newRow("wrong machine number") << 2 << 0;
    }
    void linkRefused() {
        QFETCH(int, machine);
        QFETCH(int, password);
        EmulatorProcess emu;
        QVERIFY2(emu.start(stateWithUser7(), controlFamily()), qPrintable(emu.errorText()));
        TSBXPC c;
        QVERIFY(!c.OpenTcpLink(machine, ip_, emu.port(), password));
        QCOMPARE(lastError(c), qint32(ErrLoginRefused));
        QVERIFY(!c.isLinked());
        QVERIFY(!c.SetDeviceEnabled(machine, 0));
        QCOMPARE(lastError(c), qint32(ErrNotLinked));
    }

    void unreachableTerminalFailsAtOnce() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 deadPort = probe.serverPort();
        probe.close();
        TSBXPC c;
        c.setTimeoutMs(2000);
        QElapsedTimer t;
        t.start();
        QVERIFY(!c.OpenTcpLink(1, ip_, deadPort, 0));
        QCOMPARE(lastError(c), qint32(ErrConnectFailed));
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(!c.OpenTcpLink(1, ip_, 70000, 0));
        QCOMPARE(lastError(c), qint32(ErrConnectFailed));
    }

    void writesOnlyInWriteMode() {
        EmulatorProcess emu;
        QVERIFY(emu.start(stateWithUser7(), controlFamily()));
        TSBXPC c;
        QVERIFY(c.OpenTcpLink(1, ip_, emu.port(), 0));
        QVERIFY(!c.WriteEnrollment(1, 42, 1, BackupCard, 0, buffer_, 99887766));
        QCOMPARE(lastError(c), qint32(ErrNotWriteMode));
        QVERIFY(!c.RemoveEnrollment(1, 7, 1, BackupCard));
        QCOMPARE(lastError(c), qint32(ErrNotWriteMode));
        c.CloseLink();
        QCOMPARE(credentialsOf(emu.state()), credentialsOf(stateWithUser7()));
    }

    void writeMakesUserRemoveKeepsTheRest() {
        EmulatorProcess emu;
        QVERIFY(emu.start(stateWithUser7(), controlFamily()));
        TSBXPC c;
        QVERIFY(c.OpenTcpLink(1, ip_, emu.port(), 0));
        QVERIFY(c.SetDeviceEnabled(1, 0));
        QVERIFY(c.WriteEnrollment(1, 42, 1, BackupCard, 0, buffer_, 99887766));
        QVERIFY(c.WriteEnrollment(1, 42, 1, BackupPassword, 0, buffer_, 0x765432));
        QVERIFY(c.RemoveEnrollment(1, 7, 1, BackupCard));
        QCOMPARE(lastError(c), qint32(ErrNone));
        QVERIFY(!c.RemoveEnrollment(1, 7, 1, BackupCard));
        QCOMPARE(lastError(c), qint32(ErrNoSuchEnroll));
        QVERIFY(!c.RemoveEnrollment(1, 99, 1, BackupPassword));
        QCOMPARE(lastError(c), qint32(ErrNoSuchEnroll));
        QVERIFY(c.SetDeviceEnabled(1, 1));
        c.CloseLink();
        const QJsonObject s = emu.state();
        QCOMPARE(credentialsOf(s), (QSet<QString>{"7/15=801", "42/11=99887766", "42/15=7754802"}));
        QCOMPARE(userNumbers(s), (QStringList{"7", "42"}));
        QCOMPARE(s["users"].toArray().at(0)["name"].toString(), QStringLiteral("Ayşe"));
        QCOMPARE(s["write_mode"].toBool(), false);
    }

    void invalidRequestsRefused_data() {
        QTest::addColumn<int>("machine");
        QTest::addColumn<int>("enrollMachine");
        QTest::addColumn<int>("enroll");
        QTest::addColumn<int>("backup");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("code");
        QTest::newRow("fingerprint backup number") << 1 << 1 << 5 << 3 << 1 << int(ErrBadBackup);
        QTest::newRow("enrollment number 0") << 1 << 1 << 0 << 11 << 1 << int(ErrBadValue);
        QTest::newRow("negative card") << 1 << 1 << 5 << 11 << -5 << int(ErrBadValue);
        QTest::newRow("not a password value") << 1 << 1 << 5 << 15 << 99887766 << int(ErrBadValue);
        QTest::newRow("other enroll machine") << 1 << 2 << 5 << 11 << 1 << int(ErrWrongMachine);
        QTest::newRow("other terminal") << 3 << 3 << 5 << 11 << 1 << int(ErrWrongMachine);
    }
    void invalidRequestsRefused() {
        QFETCH(int, machine);
        QFETCH(int, enrollMachine);
        QFETCH(int, enroll);
        QFETCH(int, backup);
        QFETCH(int, value);
        QFETCH(int, code);
        EmulatorProcess emu;
        QVERIFY(emu.start(stateWithUser7(), controlFamily()));
        TSBXPC c;
        QVERIFY(c.OpenTcpLink(1, ip_, emu.port(), 0));
        QVERIFY(c.SetDeviceEnabled(1, 0));
        QVERIFY(!c.WriteEnrollment(machine, enroll, enrollMachine, backup, 0, buffer_, value));
        QCOMPARE(lastError(c), qint32(code));
        QVERIFY(c.isLinked());
        c.CloseLink();
        QCOMPARE(credentialsOf(emu.state()), credentialsOf(stateWithUser7()));
    }

    void faults_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("linked");
        QTest::newRow("write refused")
            << QStringList{"--refuse", "write:11"} << true << int(ErrRefused) << true;
        QTest::newRow("write mode refused")
            << QStringList{"--refuse", "set_enabled:0"} << false << int(ErrNotWriteMode) << true;
        QTest::newRow("answer cut") << QStringList{"--close-after", "5", "--close-on", "write"}
                                    << true << int(ErrLinkLost) << false;
        QTest::newRow("answer damaged")
            << QStringList{"--malformed", "write"} << true << int(ErrLinkLost) << false;
    }
    void faults() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, enabled);
        QFETCH(int, code);
        QFETCH(bool, linked);
        EmulatorProcess emu;
        QVERIFY(emu.start(stateWithUser7(), controlFamily(arguments)));
        TSBXPC c;
        c.setTimeoutMs(2000);
        QVERIFY(c.OpenTcpLink(1, ip_, emu.port(), 0));
        QCOMPARE(c.SetDeviceEnabled(1, 0), enabled);
        QVERIFY(!c.WriteEnrollment(1, 42, 1, BackupCard, 0, buffer_, 1234));
        QCOMPARE(lastError(c), qint32(code));
        QCOMPARE(c.isLinked(), linked);
    }

    // A link closed in write mode, or with a switch back still held, leaves the terminal in
    // normal operation with everything written saved.
    void closingGivesTheTerminalBack_data() {
        QTest::addColumn<bool>("switchBack");
        QTest::newRow("left in write mode") << false;
        QTest::newRow("switch back held") << true;
    }
    void closingGivesTheTerminalBack() {
        QFETCH(bool, switchBack);
        EmulatorProcess emu;
        QVERIFY(emu.start(EmulatorProcess::defaultState(), controlFamily()));
        TSBXPC c;
        QVERIFY(c.OpenTcpLink(1, ip_, emu.port(), 0));
        for (int enroll : {1, 2, 3}) {
            QVERIFY(c.SetDeviceEnabled(1, 0));
            QVERIFY(c.WriteEnrollment(1, enroll, 1, BackupCard, 0, buffer_, 100 + enroll));
            if (switchBack || enroll < 3)
                QVERIFY(c.SetDeviceEnabled(1, 1));
        }
        c.CloseLink();
        const QJsonObject s = emu.state();
        QCOMPARE(s["write_mode"].toBool(true), false);
        QCOMPARE(credentialsOf(s), (QSet<QString>{"1/11=101", "2/11=102", "3/11=103"}));
        // A held switch back is sent before any other call: the write after it is refused.
        QVERIFY(c.OpenTcpLink(1, ip_, emu.port(), 0));
        QVERIFY(c.SetDeviceEnabled(1, 0));
        QVERIFY(c.SetDeviceEnabled(1, 1));
        QVERIFY(!c.WriteEnrollment(1, 4, 1, BackupCard, 0, buffer_, 104));
        QCOMPARE(lastError(c), qint32(ErrNotWriteMode));
    }
};

QTEST_GUILESS_MAIN(TestControlFamily)
#include "test_control_family.moc"
