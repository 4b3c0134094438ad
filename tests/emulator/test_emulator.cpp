// The emulator itself: its state file, faults given in the state file, generated records and
// how it copes with noise and commands before a log-in, spoken to with raw frames.
#include "emulator_device.h"
#include "emulator_process.h"
#include "frame.h"
#include "sdk.h"
#include "transport.h"

#include <QJsonArray>
#include <QMap>
#include <QTest>

namespace {

// Sends bytes and reads one answer frame.
frame::Frame ask(Transport& link, const ByteVector& bytes) {
    link.write(bytes.data(), bytes.size(), 2000);
    ByteVector in;
    for (;;) {
        frame::Frame f;
        std::size_t used = 0;
        if (frame::decode(in.data(), in.size(), f, used) == frame::Parse::Complete)
            return f;
        std::uint8_t buffer[4096];
        const std::size_t n = link.read(buffer, sizeof buffer, 2000);
        in.insert(in.end(), buffer, buffer + n);
    }
}

ByteVector request(std::uint8_t command, std::uint16_t sequence, const ByteVector& payload) {
    frame::Frame f;
    f.command = command;
    f.device = 1;
    f.sequence = sequence;
    f.payload = payload;
    return frame::encode(f);
}

} // namespace

class TestEmulator : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void faultsFromTheStateFile_data() {
        QTest::addColumn<QJsonObject>("faults");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<bool>("statusAccepted");
        QTest::newRow("none") << QJsonObject{} << true << true;
        QTest::newRow("refuse one")
            << QJsonObject{{"refuse", "set_device_data:16"}} << true << false;
        QTest::newRow("refuse a list")
            << QJsonObject{{"refuse", QJsonArray{"get_device_data:10", "set_device_data"}}} << true
            << false;
        QTest::newRow("refuse log-in") << QJsonObject{{"refuse", "login"}} << false << false;
        QTest::newRow("cut the log-in answer")
            << QJsonObject{{"close_after_bytes", 10}, {"close_on", "login"}} << false << false;
    }
    void faultsFromTheStateFile() {
        QFETCH(QJsonObject, faults);
        QFETCH(bool, connects);
        QFETCH(bool, statusAccepted);
        QJsonObject state = EmulatorProcess::defaultState();
        state["faults"] = faults;
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(state), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QCOMPARE(c.OpenConnection(d) > 0, connects);
        if (!connects)
            return;
        ByteVector prop = NewByteVector(2);
        QCOMPARE(c.SetDeviceData(16, prop, d, TZd2911Tools::ValueToBytes("1", 3)), statusAccepted);
    }

    void badStateFilesAreReported_data() {
        QTest::addColumn<QJsonObject>("state");
        QJsonObject badClock = EmulatorProcess::defaultState();
        badClock["clock"] = "05.03.2024 09:07";
        QTest::newRow("clock in another format") << badClock;
    }
    void badStateFilesAreReported() {
        QFETCH(QJsonObject, state);
        EmulatorProcess emulator;
        QVERIFY(!emulator.start(state));
    }

    void stateFileKeepsUnknownKeysAndIsRewrittenWhole() {
        QJsonObject state = EmulatorProcess::defaultState();
        state["site"] = "Fabrika 2";
        state["records"] = QJsonArray{QJsonObject{{"enroll_number", "1"},
                                                  {"time", "2024-01-02 08:00:00"},
                                                  {"terminal_number", 1},
                                                  {"state_code", 0}}};
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(state), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        QVERIFY(c.SetDeviceData(13, prop, d, NewByteVector(6)));
        const QJsonObject saved = emulator.state();
        QCOMPARE(saved["site"].toString(), QStringLiteral("Fabrika 2"));
        QVERIFY(saved["records"].toArray().isEmpty());
        QCOMPARE(saved["clock"].toString(), QStringLiteral("2024-03-05 09:07:00"));
        QCOMPARE(saved["bells"].toString().size(), 2 * 192);
    }

    // Saves reuse the text of unchanged users: each save must still show every user as they
    // are after the last answered change, also when one user changes twice in a row.
    void everySaveShowsTheLatestUsers_data() {
        QTest::addColumn<QStringList>("changes"); // "number=name", applied in order
        QTest::newRow("one change") << QStringList{"2=ZEHRA"};
        QTest::newRow("same user twice") << QStringList{"2=ZEHRA", "2=ZEYNEP"};
        QTest::newRow("back to the saved name") << QStringList{"2=ZEHRA", "2=B"};
        QTest::newRow("first and last") << QStringList{"1=AHMET", "3=CEM", "1=ALİ"};
    }
    void everySaveShowsTheLatestUsers() {
        QFETCH(QStringList, changes);
        QJsonObject state = EmulatorProcess::defaultState();
        QJsonArray users;
        for (const char* number : {"1", "2", "3"})
            users.append(QJsonObject{{"enroll_number", number},
                                     {"name", QString::number(*number - '1' + 10, 16).toUpper()}});
        state["users"] = users;
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(state), qPrintable(emulator.errorText()));
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        QMap<QString, QString> expected{{"1", "A"}, {"2", "B"}, {"3", "C"}};
        for (const QString& change : changes) {
            const QStringList parts = change.split('=');
            UserPtr u = CoUserExt();
            u->EnrollNumber = parts[0];
            u->Enrolls[0].EnrollNumber = parts[0];
            u->UserName = parts[1];
            ByteVector prop = NewByteVector(2);
            ByteVector data = NewByteVector(6);
            QVERIFY(c.SetUserData(0, prop, *u, data));
            expected[parts[0]] = parts[1];
            QMap<QString, QString> saved;
            for (const QJsonValue v : emulator.state()["users"].toArray())
                saved[v["enroll_number"].toString()] = v["name"].toString();
            QCOMPARE(saved, expected);
        }
    }

    void generatedRecordsAreSavedSortedByTime() {
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--generate-records", "3000"};
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), options),
                 qPrintable(emulator.errorText()));
        const QJsonArray records = emulator.state()["records"].toArray();
        QCOMPARE(records.size(), 3000);
        QStringList times;
        for (const QJsonValue r : records)
            times << r["time"].toString();
        QStringList sorted = times;
        sorted.sort();
        QCOMPARE(times, sorted);

        // Later saves keep them (a large record list is written from its kept text).
        IDevice d = tcpDevice(emulator);
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        QVERIFY(c.SetDeviceData(16, prop, d, TZd2911Tools::ValueToBytes("1", 3)));
        QJsonObject saved = emulator.state();
        QCOMPARE(saved["comm_status"].toInt(), 1);
        QCOMPARE(saved["records"].toArray(), records);
        QVERIFY(c.SetDeviceData(13, prop, d, NewByteVector(6)));
        QVERIFY(c.SetDeviceData(16, prop, d, TZd2911Tools::ValueToBytes("0", 3)));
        saved = emulator.state();
        QVERIFY(saved["records"].toArray().isEmpty());
        QCOMPARE(saved["comm_status"].toInt(), 0);
    }

    void noiseIsSkippedAndCommandsWaitForTheLogIn() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        auto link = openTcpTransport(QStringLiteral("127.0.0.1"), emulator.port(), 2000);
        // A command before the log-in.
        frame::Frame f = ask(*link, request(frame::GetDeviceData, 1, {10, 0, 0}));
        QCOMPARE(f.status, std::uint8_t(frame::NotLoggedIn));
        QCOMPARE(f.sequence, std::uint16_t(1));
        // Line noise and a damaged frame, then a log-in: only the log-in is answered.
        ByteVector bytes = {0x00, 0xFF, 0x53, 0x00};
        ByteVector damaged = request(frame::Login, 2, {'0'});
        damaged.back() ^= 1;
        bytes.insert(bytes.end(), damaged.begin(), damaged.end());
        const ByteVector login = request(frame::Login, 3, {'0'});
        bytes.insert(bytes.end(), login.begin(), login.end());
        f = ask(*link, bytes);
        QCOMPARE(f.sequence, std::uint16_t(3));
        QCOMPARE(f.status, std::uint8_t(frame::Ok));
        // An unknown command and an unreadable request.
        QCOMPARE(ask(*link, request(0x7E, 4, {})).status, std::uint8_t(frame::UnknownCommand));
        QCOMPARE(ask(*link, request(frame::GetDeviceData, 5, {10, 9})).status,
                 std::uint8_t(frame::BadRequest));
    }
};

QTEST_GUILESS_MAIN(TestEmulator)
#include "test_emulator.moc"
