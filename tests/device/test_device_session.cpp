// The device session: opening from a terminal row by its Tip, the status wrap and its messages,
// and reopening, through the real emulator.
#include "device_session.h"
#include "emulator_process.h"
#include "scripted_prompt.h"

#include <QTest>

namespace {

TerminalRecord row(const QString& tip, const EmulatorProcess& emulator) {
    TerminalRecord r;
    r.id = QStringLiteral("1");
    r.terminalNo = QStringLiteral("1");
    r.name = QStringLiteral("Giriş Kapısı");
    r.tip = tip;
    r.comPort = emulator.ptyPath();
    r.comBaud = QStringLiteral("19200");
    r.ip = QStringLiteral("127.0.0.1");
    r.netPort = QString::number(emulator.port());
    r.password = QStringLiteral("0");
    return r;
}

} // namespace

class TestDeviceSession : public QObject {
    Q_OBJECT
private:
    EmulatorProcess emulator_;

private Q_SLOTS:
    void initTestCase() {
        EmulatorOptions options;
        options.pty = true;
        QVERIFY2(emulator_.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator_.errorText()));
    }

    void openByTip_data() {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("baud");
        QTest::addColumn<bool>("addressSet");
        QTest::newRow("ethernet") << "ethernet" << true << 1 << 0 << true;
        QTest::newRow("com at 9600 whatever ComBaud says") << "com" << true << 0 << 9600 << false;
        QTest::newRow("usb") << "usb" << true << 2 << 0 << false;
        QTest::newRow("Ethernet sets nothing") << "Ethernet" << false << -1 << 0 << false;
        QTest::newRow("empty") << "" << false << -1 << 0 << false;
    }
    void openByTip() {
        QFETCH(QString, tip);
        QFETCH(bool, connected);
        QFETCH(int, kind);
        QFETCH(int, baud);
        QFETCH(bool, addressSet);
        DeviceSession session;
        const TerminalRecord r = row(tip, emulator_);
        QCOMPARE(session.OpenSession(r), connected);
        QCOMPARE(session.isOpen(), connected);
        const IDevice& d = session.device();
        QCOMPARE(d.DeviceNumber, 1);
        QCOMPARE(d.Password, QStringLiteral("0"));
        QCOMPARE(d.ConnectOption, 5);
        QCOMPARE(d.Model, QStringLiteral("ZDC2911"));
        QCOMPARE(d.ConnectionKind, kind);
        QCOMPARE(d.BaudRate, baud);
        QCOMPARE(d.IpAddress.isEmpty(), !addressSet);
        QCOMPARE(d.NetworkPort != 0, addressSet);
        QCOMPARE(session.terminalName(), r.name);
        // The session IP comes from the row whatever the kind of link.
        QCOMPARE(session.sessionIp(), r.ip);
        session.CloseSession();
        QVERIFY(!session.isOpen());
    }

    void notWholeNumbers_data() {
        QTest::addColumn<QString>("terminalNo");
        QTest::addColumn<QString>("netPort");
        QTest::addColumn<QString>("column");
        QTest::newRow("TerminalNo letters") << "abc"
                                            << "0"
                                            << "TerminalNo";
        QTest::newRow("TerminalNo decimal") << "1.5"
                                            << "0"
                                            << "TerminalNo";
        QTest::newRow("TerminalNo empty") << ""
                                          << "0"
                                          << "TerminalNo";
        QTest::newRow("NetPort letters") << "1"
                                         << "80x"
                                         << "NetPort";
    }
    void notWholeNumbers() {
        QFETCH(QString, terminalNo);
        QFETCH(QString, netPort);
        QFETCH(QString, column);
        DeviceSession session;
        QVERIFY(session.OpenSession(row("ethernet", emulator_)));
        TerminalRecord r = row("ethernet", emulator_);
        r.terminalNo = terminalNo;
        r.netPort = netPort;
        try {
            session.OpenSession(r);
            QFAIL("no conversion error");
        } catch (const DeviceError& e) {
            QCOMPARE(e.kind(), DeviceError::Kind::DataFormat);
            QVERIFY2(e.text().contains(column), qPrintable(e.text()));
        }
        // The earlier link was closed first and no new one was made.
        QVERIFY(!session.isOpen());
    }

    void reopeningMakesNewObjectsAndClosesTheOldLink() {
        DeviceSession session;
        const TerminalRecord r = row("ethernet", emulator_);
        QVERIFY(session.OpenSession(r));
        IDevice* firstDevice = &session.device();
        TZd2911DeviceConnection* firstConnection = &session.connection();
        // The emulator serves one client at a time: the second opening only gets through when
        // the first link was closed.
        QVERIFY(session.OpenSession(r));
        QVERIFY(&session.device() != firstDevice);
        QVERIFY(&session.connection() != firstConnection);
        session.CloseSession();
        session.clearSessionIp();
        QVERIFY(session.sessionIp().isEmpty());
        QVERIFY(session.OpenSession(r));
        QCOMPARE(session.sessionIp(), r.ip);
    }

    void statusWrap() {
        DeviceSession session;
        QVERIFY(session.OpenSession(row("ethernet", emulator_)));
        ScriptedPrompt prompt;
        ByteVector prop = NewByteVector(2);
        QVERIFY(session.BeginDeviceWork(prop, &prompt));
        QCOMPARE(emulator_.state()["comm_status"].toInt(), 1);
        QVERIFY(session.EndDeviceWork(prop, &prompt));
        QCOMPARE(emulator_.state()["comm_status"].toInt(), 0);
        QVERIFY(prompt.texts().isEmpty());
    }

    void statusRefusedMessages() {
        EmulatorProcess refusing;
        EmulatorOptions options;
        options.arguments = QStringList{"--refuse", "set_device_data:16"};
        QVERIFY2(refusing.start(EmulatorProcess::defaultState(), options),
                 qPrintable(refusing.errorText()));
        DeviceSession session;
        QVERIFY(session.OpenSession(row("ethernet", refusing)));
        ScriptedPrompt prompt;
        ByteVector prop = NewByteVector(2);
        QVERIFY(!session.BeginDeviceWork(prop, &prompt));
        QVERIFY(!session.EndDeviceWork(prop, &prompt));
        QVERIFY(!session.BeginDeviceWork(prop, nullptr));
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message),
                 (QStringList{"Setting device communication status to busy: Fail.",
                              "Setting device communication status to idle: Fail"}));
    }

    void serialPortFor_data() {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("comPort");
        QTest::addColumn<QString>("path");
        QTest::newRow("first port") << "com"
                                    << "1"
                                    << "/dev/ttyS0";
        QTest::newRow("third port") << "com"
                                    << "3"
                                    << "/dev/ttyS2";
        QTest::newRow("Windows name") << "com"
                                      << "COM2"
                                      << "/dev/ttyS1";
        QTest::newRow("path stands") << "com"
                                     << "/dev/ttyUSB0"
                                     << "/dev/ttyUSB0";
        QTest::newRow("blanks around") << "com"
                                       << " 2 "
                                       << "/dev/ttyS1";
        QTest::newRow("no port: the first") << "com"
                                            << ""
                                            << "/dev/ttyS0";
        QTest::newRow("usb with a path") << "usb"
                                         << "/dev/pts/5"
                                         << "/dev/pts/5";
        QTest::newRow("usb with a number") << "usb"
                                           << "4"
                                           << "/dev/ttyS3";
    }
    void serialPortFor() {
        QFETCH(QString, tip);
        QFETCH(QString, comPort);
        QFETCH(QString, path);
        TerminalRecord r;
        r.tip = tip;
        r.comPort = comPort;
        QCOMPARE(DeviceSession::serialPortFor(r), path);
    }
};

QTEST_GUILESS_MAIN(TestDeviceSession)
#include "test_device_session.moc"
