// "Verileri Aktar" against the emulated terminal: lines, files, messages and clearing safety.

#include "collection_fixture.h"
#include "download.h"
#include "scripted_prompt.h"

#include <QTest>

using namespace fixture;

namespace {

const QString Received = QStringLiteral("cihazdan veriler alındı");

QJsonArray sampleRecords() {
    return {record("123", "2011-03-05 08:30:05"), record("123456", "2011-03-05 08:31:00"),
            record("7", "2011-03-06 17:00:00", 100), record("8", "2011-03-07 09:00:00", 1, 3),
            record("9", "2011-03-07 09:00:01", 1, 15)};
}

struct Run {
    ScriptedPrompt prompt;
    LineCollector memo4;
    NullProgress progress;
    int received = -1;
};

} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linesInBothFormats_data() {
        QTest::addColumn<bool>("dorvak");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("normal") << false
                                << QStringList{"00123 05.03.2011 08:30:05 01 00 192.168.0.100",
                                               "123456 05.03.2011 08:31:00 01 00 192.168.0.100",
                                               "00007 06.03.2011 17:00:00 100 00 192.168.0.100",
                                               "00008 07.03.2011 09:00:00 01 03 192.168.0.100",
                                               "00009 07.03.2011 09:00:01 01 15 192.168.0.100"};
        QTest::newRow("dorvak") << true
                                << QStringList{"001,0000000123,0,2011-03-05 08:30:05",
                                               "001,0000123456,0,2011-03-05 08:31:00",
                                               "100,0000000007,0,2011-03-06 17:00:00",
                                               "001,0000000008,3,2011-03-07 09:00:00",
                                               "001,0000000009,15,2011-03-07 09:00:01"};
    }
    // A serial terminal: the last field is still the row's Ip text.
    void linesInBothFormats() {
        QFETCH(bool, dorvak);
        QFETCH(QStringList, lines);
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.pty = true;
        QVERIFY2(emulator.start(stateWith(sampleRecords()), options),
                 qPrintable(emulator.errorText()));
        Store store;
        QFile earlier(store.path("veri2.txt"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("onceki\r\n");
        earlier.close();
        DeviceSession session;
        QVERIFY(session.OpenSession(
            store.serial("Merkez", emulator.ptyPath(), QStringLiteral("192.168.0.100"))));
        Options chosen;
        chosen.dorvak = dorvak;
        Run run;
        run.received = AttendanceDownload(session, store.folder(), chosen)
                           .run(run.prompt, run.memo4, run.progress);
        QCOMPARE(run.received, 5);
        QCOMPARE(run.memo4.lines(), lines);
        QCOMPARE(fileLines(store.path("veri.txt")), lines);
        QCOMPARE(fileLines(store.backupPath()), lines); // named by the computer's month
        QCOMPARE(fileLines(store.path("veri2.txt")), QStringList{"onceki"}); // unticked
        QCOMPARE(run.prompt.texts(), QStringList{Received});
        QCOMPARE(recordsLeft(emulator), 5); // not cleared unless asked
    }

    void secondFileAndAppend() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(stateWith({record("1", "2011-03-05 08:30:05")})),
                 qPrintable(emulator.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriDosya2 = true;
        for (int i = 0; i < 2; ++i) {
            Run run;
            AttendanceDownload(session, store.folder(), chosen)
                .run(run.prompt, run.memo4, run.progress);
        }
        const QStringList twice{"00001 05.03.2011 08:30:05 01 00 127.0.0.1",
                                "00001 05.03.2011 08:30:05 01 00 127.0.0.1"};
        QCOMPARE(fileLines(store.path("veri.txt")), twice);
        QCOMPARE(fileLines(store.path("veri2.txt")), twice);
        QCOMPARE(fileLines(store.backupPath()), twice);
    }

    void noRecords() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriSil = true;
        Run run;
        QCOMPARE(AttendanceDownload(session, store.folder(), chosen)
                     .run(run.prompt, run.memo4, run.progress),
                 0);
        QCOMPARE(run.prompt.texts(), QStringList{QStringLiteral("Cihazdan alınacak veri yok.")});
        QCOMPARE(fileLines(store.path("veri.txt")), QStringList());
    }

    // The clear removes every record: those dated outside 01.01.2010..today are kept in
    // tarih_disi.txt first, and nothing remains unwritten.
    void clearKeepsRecordsOutsideTheRange() {
        const QString future = QDate::currentDate().addYears(3).toString("yyyy-MM-dd");
        EmulatorProcess emulator;
        // The same punch twice: both lines are written, neither counts as missed.
        QVERIFY2(emulator.start(stateWith(
                     {record("1", "2009-12-31 23:59:59"), record("2", "2011-03-05 08:30:05"),
                      record("2", "2011-03-05 08:30:05"), record("3", future + " 07:00:00")})),
                 qPrintable(emulator.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriSil = true;
        chosen.dorvak = true;
        Run run;
        AttendanceDownload(session, store.folder(), chosen)
            .run(run.prompt, run.memo4, run.progress);
        QCOMPARE(fileLines(store.path("veri.txt")),
                 (QStringList{"001,0000000002,0,2011-03-05 08:30:05",
                              "001,0000000002,0,2011-03-05 08:30:05"}));
        QCOMPARE(fileLines(store.path("yedek_selvanor/tarih_disi.txt")),
                 (QStringList{"001,0000000001,0,2009-12-31 23:59:59",
                              "001,0000000003,0," + future + " 07:00:00"}));
        QCOMPARE(recordsLeft(emulator), 0);
        QCOMPARE(run.prompt.texts(), QStringList{Received});
    }

    void refusals_data() {
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("left");
        QTest::newRow("busy refused: nothing read")
            << "set_device_data:16"
            << QStringList{"Setting device communication status to busy: Fail."} << 0 << 1;
        QTest::newRow("clear refused: records stay")
            << "set_device_data:13" << QStringList{"Clear All Glog: Fail", Received} << 1 << 1;
    }
    void refusals() {
        QFETCH(QString, refuse);
        QFETCH(QStringList, messages);
        QFETCH(int, lines);
        QFETCH(int, left);
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--refuse", refuse};
        QVERIFY2(emulator.start(stateWith({record("1", "2011-03-05 08:30:05")}), options),
                 qPrintable(emulator.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriSil = true;
        Run run;
        AttendanceDownload(session, store.folder(), chosen)
            .run(run.prompt, run.memo4, run.progress);
        QCOMPARE(run.prompt.texts(), messages);
        QCOMPARE(fileLines(store.path("veri.txt")).size(), lines);
        QCOMPARE(recordsLeft(emulator), left);
    }

    // The link drops in the middle of the check read before the clear: the lines of the first
    // read are on disk whole, nothing is cleared, and the error reaches the caller.
    void linkDropsBeforeTheClear() {
        QJsonArray records{record("1", "2011-03-05 08:30:05"), record("2", "2011-03-05 08:30:06")};
        for (int i = 0; i < 500; ++i)
            records.append(record(QString::number(1000 + i), "2005-01-01 08:00:00"));
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--close-after", "300", "--close-on", "get_device_data:13"};
        QVERIFY2(emulator.start(stateWith(records), options), qPrintable(emulator.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriSil = true;
        Run run;
        AttendanceDownload download(session, store.folder(), chosen);
        QVERIFY_THROWS_EXCEPTION(DeviceError, download.run(run.prompt, run.memo4, run.progress));
        QCOMPARE(fileLines(store.path("veri.txt")),
                 (QStringList{"00001 05.03.2011 08:30:05 01 00 127.0.0.1",
                              "00002 05.03.2011 08:30:06 01 00 127.0.0.1"}));
        QVERIFY(!QFile::exists(store.path("yedek_selvanor/tarih_disi.txt")));
        QCOMPARE(run.prompt.texts(), QStringList{Received});
        emulator.stop();
        QCOMPARE(recordsLeft(emulator), 502);
    }

    // The link drops in the middle of the records answer: no line, nothing cleared.
    void linkDropsInTheRecordsAnswer() {
        QJsonArray records;
        for (int i = 0; i < 500; ++i)
            records.append(record(QString::number(i), "2011-03-05 08:00:00"));
        EmulatorProcess emulator;
        EmulatorOptions options;
        options.arguments = QStringList{"--close-after", "300", "--close-on", "get_device_data:13"};
        QVERIFY2(emulator.start(stateWith(records), options), qPrintable(emulator.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriSil = true;
        Run run;
        AttendanceDownload download(session, store.folder(), chosen);
        QVERIFY_THROWS_EXCEPTION(DeviceError, download.run(run.prompt, run.memo4, run.progress));
        QCOMPARE(fileLines(store.path("veri.txt")), QStringList());
        QVERIFY(run.prompt.texts().isEmpty());
        emulator.stop();
        QCOMPARE(recordsLeft(emulator), 500);
    }

    // A record file that cannot be written: the terminal is not cleared, the user is told, and
    // the terminal is not left busy.
    void unwritableFileClearsNothing() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(stateWith({record("1", "2011-03-05 08:30:05")})),
                 qPrintable(emulator.errorText()));
        Store store;
        QVERIFY(QFile::link("/dev/full", store.path("veri2.txt")));
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", emulator.port())));
        Options chosen;
        chosen.veriSil = true;
        chosen.veriDosya2 = true;
        Run run;
        AttendanceDownload download(session, store.folder(), chosen);
        QVERIFY_THROWS_EXCEPTION(RecordFileError,
                                 download.run(run.prompt, run.memo4, run.progress));
        QCOMPARE(run.prompt.texts(), QStringList{Received});
        QCOMPARE(fileLines(store.path("veri.txt")),
                 QStringList{"00001 05.03.2011 08:30:05 01 00 127.0.0.1"});
        emulator.stop();
        QCOMPARE(recordsLeft(emulator), 1);
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "test_download.moc"
