// The protocol client against the real emulator over loopback TCP and a pseudo-terminal.
#include "emulator_device.h"
#include "emulator_process.h"
#include "sdk.h"
#include "wire_codec.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

namespace {

QJsonObject record(const QString& number, const QString& time, int terminal = 1, int state = 0) {
    return {{"enroll_number", number},
            {"time", time},
            {"terminal_number", terminal},
            {"state_code", state}};
}

ByteVector dateRange(int y1, int m1, int d1, int y2, int m2, int d2) {
    return {static_cast<std::uint8_t>(y1 - 2000), static_cast<std::uint8_t>(m1),
            static_cast<std::uint8_t>(d1),        static_cast<std::uint8_t>(y2 - 2000),
            static_cast<std::uint8_t>(m2),        static_cast<std::uint8_t>(d2)};
}

} // namespace

class TestDeviceLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void logIn_data() {
        QTest::addColumn<int>("deviceNumber");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("connected");
        QTest::newRow("right") << 1 << "0" << true;
        QTest::newRow("wrong password") << 1 << "1" << false;
        QTest::newRow("wrong device number") << 2 << "0" << false;
        QTest::newRow("empty password") << 1 << "" << false;
    }
    void logIn() {
        QFETCH(int, deviceNumber);
        QFETCH(QString, password);
        QFETCH(bool, connected);
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        d.DeviceNumber = deviceNumber;
        d.Password = password;
        TZd2911DeviceConnection c;
        QCOMPARE(c.OpenConnection(d) > 0, connected);
        QCOMPARE(c.IsOpen(), connected);
    }

    void recordsReadInRangeAndCleared() {
        QJsonObject state = EmulatorProcess::defaultState();
        state["records"] = QJsonArray{
            record("123", "2011-03-05 08:30:05"), record("7", "2009-12-31 23:59:59"),
            record("0042", "2011-03-05 08:30:04", 3, 9), record("5", "2011-03-06 00:00:00")};
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(state), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        ByteVector data = dateRange(2010, 1, 1, 2011, 3, 5);
        QVERIFY(c.GetDeviceData(13, prop, d, data));
        const auto records = TZd2911Tools::BytesToRecords(data);
        QCOMPARE(records.size(), std::size_t(2));
        QCOMPARE(records[0].EnrollNumber, QStringLiteral("0042"));
        QCOMPARE(records[0].TerminalNumber, 3);
        QCOMPARE(records[0].StateCode, 9);
        QCOMPARE(records[1].EnrollNumber, QStringLiteral("123"));
        QCOMPARE(records[1].RecordTime, QDateTime(QDate(2011, 3, 5), QTime(8, 30, 5)));
        QCOMPARE(records[1].TerminalNumber, 1);

        QVERIFY(c.SetDeviceData(13, prop, d, data));
        QCOMPARE(emulator.state()["records"].toArray().size(), 0);
    }

    void communicationStatus() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        QVERIFY(c.SetDeviceData(16, prop, d, TZd2911Tools::ValueToBytes("1", 3)));
        QCOMPARE(emulator.state()["comm_status"].toInt(), 1);
        ByteVector data = NewByteVector(6);
        QVERIFY(c.GetDeviceData(16, prop, d, data));
        QCOMPARE(data, TZd2911Tools::ValueToBytes("1", 3));
        QVERIFY(c.SetDeviceData(16, prop, d, TZd2911Tools::ValueToBytes("0", 3)));
        QCOMPARE(emulator.state()["comm_status"].toInt(), 0);
    }

    void faultsGiveAnErrorAndLeaveTheCallersVectorAsItWas_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::newRow("link closed mid-answer")
            << QStringList{"--close-after", "20000", "--close-on", "get_device_data:13"}
            << int(DeviceError::Kind::Io);
        QTest::newRow("link closed in the header")
            << QStringList{"--close-after", "5", "--close-on", "get_device_data:13"}
            << int(DeviceError::Kind::Io);
        QTest::newRow("malformed answer")
            << QStringList{"--malformed", "get_device_data:13"} << int(DeviceError::Kind::Protocol);
        QTest::newRow("never answers")
            << QStringList{"--silent", "get_device_data:13"} << int(DeviceError::Kind::Timeout);
    }
    void faultsGiveAnErrorAndLeaveTheCallersVectorAsItWas() {
        QFETCH(QStringList, arguments);
        QFETCH(int, kind);
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = arguments << "--generate-records"
                                      << "20000";
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        const ByteVector request = dateRange(2010, 1, 1, 2030, 12, 31);
        ByteVector data = request;
        try {
            c.GetDeviceData(13, prop, d, data);
            QFAIL("no error raised");
        } catch (const DeviceError& e) {
            QCOMPARE(int(e.kind()), kind);
        }
        QCOMPARE(data, request);
        // The link is given up: a late answer can never be taken for the next one.
        QVERIFY(!c.IsOpen());
        QVERIFY_THROWS_EXCEPTION(DeviceError, c.GetDeviceData(13, prop, d, data));
        // The records are still on the terminal.
        QCOMPARE(emulator.state()["records"].toArray().size(), 20000);
    }

    void refusedOperationIsFalse() {
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--refuse", "set_device_data:16"};
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        QVERIFY(!c.SetDeviceData(16, prop, d, TZd2911Tools::ValueToBytes("1", 3)));
        QVERIFY(c.IsOpen());
        ByteVector data = NewByteVector(2);
        QVERIFY(c.GetDeviceData(10, prop, d, data));
    }

    void slowTerminalWithinTheTimeOutAnswers() {
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--delay", "300"};
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        ByteVector data = NewByteVector(2);
        QVERIFY(c.GetDeviceData(10, prop, d, data));
        QCOMPARE(data.size(), std::size_t(6));
    }

    void silentLogInFailsWithinTheTimeOut() {
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--silent", "login"};
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        d.TimeoutMs = 500;
        TZd2911DeviceConnection c;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(c.OpenConnection(d), 0);
        // Bounded by the configured limit, not by the terminal.
        QVERIFY(timer.elapsed() < 5000);
    }

    void clientsOneAfterAnother() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        for (int i = 0; i < 3; ++i) {
            TZd2911DeviceConnection c;
            QVERIFY(c.OpenConnection(d) > 0);
            ByteVector prop = NewByteVector(2);
            ByteVector data = NewByteVector(2);
            QVERIFY(c.GetDeviceData(10, prop, d, data));
        }
    }

    void longAnswerReportsProgress() {
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--generate-records", "50000"};
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        QList<qint64> steps;
        qint64 total = 0;
        c.setProgressHandler([&](qint64 done, qint64 all) {
            steps << done;
            total = all;
        });
        ByteVector prop = NewByteVector(2);
        ByteVector data = dateRange(2010, 1, 1, 2030, 12, 31);
        QVERIFY(c.GetDeviceData(13, prop, d, data));
        QVERIFY(steps.size() > 1);
        QCOMPARE(steps.last(), total);
        QCOMPARE(qint64(data.size()), total);
        const auto records = TZd2911Tools::BytesToRecords(data);
        QCOMPARE(records.size(), std::size_t(50000));
        QVERIFY(std::is_sorted(records.begin(), records.end(), [](const auto& a, const auto& b) {
            return a.RecordTime < b.RecordTime;
        }));
    }

    void deadPortFailsWithinTheTimeOut() {
        // A port nobody listens on (the emulator's, after it stopped).
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        emulator.stop();
        TZd2911DeviceConnection c;
        QCOMPARE(c.OpenConnection(d), 0);
        QVERIFY(!c.IsOpen());
    }
};

QTEST_GUILESS_MAIN(TestDeviceLink)
#include "test_device_link.moc"
