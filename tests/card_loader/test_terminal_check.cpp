// "Bağlantı Kontrol" against emulated terminals of both families.

#include "emulator_process.h"
#include "scripted_prompt.h"
#include "terminal_definitions.h"

#include <QTcpServer>
#include <QtTest>

using Kind = ScriptedPrompt::Kind;

class TestTerminalCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void check_data();
    void check();

private:
    EmulatorProcess sdk_;
    EmulatorProcess control_;
    quint16 closedPort_ = 0;
};

void TestTerminalCheck::initTestCase() {
    QVERIFY2(sdk_.start(), qPrintable(sdk_.errorText()));
    EmulatorOptions control;
    control.family = "control";
    QVERIFY2(control_.start(EmulatorProcess::defaultState(), control),
             qPrintable(control_.errorText()));
    QTcpServer probe; // a port nobody listens on once the probe is gone
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    closedPort_ = probe.serverPort();
}

void TestTerminalCheck::check_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("port"); // "sdk", "control", "closed" or the text itself
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");

    const QString label = " Kapı (127.0.0.1) ";
    QTest::newRow("SelvanoR answers")
        << "SelvanoR"
        << "sdk" << int(Kind::Message) << label + " Terminale bağlandı.";
    QTest::newRow("SelvanoNorvi answers")
        << "SelvanoNorvi"
        << "control" << int(Kind::Message) << label + " Terminale bağlandı.";
    QTest::newRow("SelvanoR, nobody listening")
        << "SelvanoR"
        << "closed" << int(Kind::Message) << label + " HATA!!!..Terminal Bağlantısı Kurulamadı....";
    QTest::newRow("SelvanoNorvi, nobody listening")
        << "SelvanoNorvi"
        << "closed" << int(Kind::Message) << label + " HATA!!!..Terminal Bağlantısı Kurulamadı....";
    QTest::newRow("port not a number")
        << "SelvanoR"
        << "43a0" << int(Kind::Error) << "'43a0' is not a valid integer value";
    QTest::newRow("other device type")
        << "Brennsoft"
        << "sdk" << int(Kind::Message) << label + " Bu cihaz tipine buradan bağlanılamıyor.";
}

void TestTerminalCheck::check() {
    QFETCH(QString, type);
    QFETCH(QString, port);
    QFETCH(int, kind);
    QFETCH(QString, text);

    TerminalValues t;
    t.ad = "Kapı";
    t.source = "127.0.0.1";
    t.port = port == "sdk"       ? QString::number(sdk_.port())
             : port == "control" ? QString::number(control_.port())
             : port == "closed"  ? QString::number(closedPort_)
                                 : port;
    t.deviceNum = "1";
    t.commPassword = "0";
    t.cihaztipi = type;
    ScriptedPrompt prompt;
    CheckTerminalConnection(t, prompt);
    QCOMPARE(prompt.entries().size(), 1);
    QCOMPARE(int(prompt.entries().first().kind), kind);
    QCOMPARE(prompt.entries().first().text, text);
}

QTEST_GUILESS_MAIN(TestTerminalCheck)
#include "test_terminal_check.moc"
