// The collection from all terminals against emulated terminals.

#include "collection.h"
#include "collection_fixture.h"
#include "scripted_prompt.h"

#include <QTcpServer>
#include <QTest>
#include <memory>

using namespace fixture;

namespace {

// A loopback port where nothing listens.
quint16 deadPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

struct Run {
    LineCollector memo3;
    LineCollector memo4;
    NullProgress progress;
    DeviceSession session;
    std::atomic<bool> runFlag{false};
    QStringList started;

    CollectionResult go(const QString& folder, const Options& options = {},
                        std::function<void(int)> onRow = {}, int workers = 1) {
        CollectionRun run(folder, options);
        const CollectionRun::RowStarted rowStarted = [&](int index, int total,
                                                         const TerminalRecord& row) {
            started << QStringLiteral("%1/%2: %3").arg(index + 1).arg(total).arg(row.name);
            if (onRow)
                onRow(index);
        };
        if (workers > 1)
            return run.runParallel(workers, runFlag, memo3, memo4, progress, rowStarted);
        return run.run(session, runFlag, memo3, memo4, progress, rowStarted);
    }
};

// Every run below, one terminal after the other and several at once: same outcome.
void addWorkerRows() {
    QTest::addColumn<int>("workers");
    QTest::newRow("one after the other") << 1;
    QTest::newRow("three at once") << 3;
}

} // namespace

class TestCollection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A switched-off terminal, then one with records: one Memo3 line, the second's records
    // in the files with two blanks before the address.
    void deadThenLive_data() { addWorkerRows(); }
    void deadThenLive() {
        QFETCH(int, workers);
        EmulatorProcess live;
        QVERIFY2(live.start(stateWith({record("123", "2011-03-05 08:30:05")})),
                 qPrintable(live.errorText()));
        Store store;
        store.ethernet("A", "127.0.0.2", deadPort());
        store.ethernet("B", "127.0.0.1", live.port());
        Run run;
        const CollectionResult result = run.go(store.folder(), {}, {}, workers);
        QCOMPARE(run.memo3.lines(), QStringList{"127.0.0.2 Bağlantı Kurulamadı..."});
        const QStringList lines{"00123 05.03.2011 08:30:05 01 00  127.0.0.1"};
        QCOMPARE(fileLines(store.path("veri.txt")), lines);
        QCOMPARE(fileLines(store.backupPath()), lines);
        QCOMPARE(run.memo4.lines(), lines);
        QCOMPARE(run.started, (QStringList{"1/2: A", "2/2: B"}));
        QCOMPARE(result.failed, 1);
        QCOMPARE(result.visited, 2);
        QVERIFY(!result.cancelled);
    }

    // Several at once: the files and Memo3 get exactly the lines of the sequential run, in
    // the same order, whatever order the terminals answer in.
    void parallelWritesWhatSequentialWrites() {
        std::vector<std::unique_ptr<EmulatorProcess>> terminals;
        Store sequential, parallel;
        for (int i = 0; i < 8; ++i) {
            QJsonArray records;
            for (int k = 0; k < (i % 3 == 0 ? 0 : 50 * i); ++k)
                records.append(record(QString::number(i * 1000 + k), "2011-03-05 08:30:05", i));
            EmulatorOptions options;
            if (i == 1) // the first terminal answers slowest
                options.arguments = QStringList{"--delay", "50"};
            terminals.push_back(std::make_unique<EmulatorProcess>());
            QVERIFY(terminals.back()->start(stateWith(records), options));
            for (Store* store : {&sequential, &parallel}) {
                store->ethernet(QStringLiteral("T%1").arg(i), "127.0.0.1",
                                terminals.back()->port());
                if (i == 4)
                    store->ethernet("T4-dead", "127.0.0.2", deadPort());
            }
        }
        Run one, many;
        one.go(sequential.folder());
        const CollectionResult result = many.go(parallel.folder(), {}, {}, 4);
        QCOMPARE(result.visited, 9);
        QCOMPARE(result.failed, 1);
        QCOMPARE(many.memo3.lines(), one.memo3.lines());
        QCOMPARE(many.memo4.lines(), one.memo4.lines());
        QCOMPARE(many.started, one.started);
        QCOMPARE(fileLines(parallel.path("veri.txt")), fileLines(sequential.path("veri.txt")));
        QCOMPARE(fileLines(parallel.path("veri.txt")).size(), 50 * (1 + 2 + 4 + 5 + 7));
        QCOMPARE(fileLines(parallel.backupPath()), fileLines(sequential.backupPath()));
    }

    // Rows of every type are named by something of their own in Memo3.
    void labels_data() {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("label");
        QTest::newRow("ethernet: address") << "ethernet"
                                           << "Merkez"
                                           << ""
                                           << "10.0.0.9";
        QTest::newRow("serial: name") << "com"
                                      << "Depo"
                                      << "/nonexistent/tty"
                                      << "Depo";
        QTest::newRow("usb without name: port") << "usb"
                                                << ""
                                                << "/nonexistent/usb"
                                                << "/nonexistent/usb";
    }
    void labels() {
        QFETCH(QString, tip);
        QFETCH(QString, name);
        QFETCH(QString, port);
        QFETCH(QString, label);
        TerminalRecord row;
        row.tip = tip;
        row.name = name;
        row.comPort = port;
        row.ip = QStringLiteral("10.0.0.9");
        QCOMPARE(CollectionRun::label(row), label);
    }

    void serialRowThatDoesNotAnswer() {
        Store store;
        store.serial("Depo", "/nonexistent/tty", "192.168.0.5");
        Run run;
        run.go(store.folder());
        QCOMPARE(run.memo3.lines(), QStringList{"Depo Bağlantı Kurulamadı..."});
    }

    // A press during the first of three lets the second run and stops before the third.
    void cancelDuringTheFirstOfThree_data() { addWorkerRows(); }
    void cancelDuringTheFirstOfThree() {
        QFETCH(int, workers);
        std::vector<std::unique_ptr<EmulatorProcess>> terminals;
        Store store;
        for (int i = 0; i < 3; ++i) {
            terminals.push_back(std::make_unique<EmulatorProcess>());
            QVERIFY(terminals.back()->start(
                stateWith({record(QString::number(i + 1), "2011-03-05 08:30:05")})));
            store.ethernet(QStringLiteral("T%1").arg(i + 1), "127.0.0.1", terminals.back()->port());
        }
        Run run;
        Options options;
        options.veriSil = true;
        const CollectionResult result = run.go(
            store.folder(), options,
            [&](int index) {
                if (index == 0)
                    run.runFlag = false; // the press, while the first terminal is collected
            },
            workers);
        QCOMPARE(run.started, (QStringList{"1/3: T1", "2/3: T2"}));
        QCOMPARE(fileLines(store.path("veri.txt")),
                 (QStringList{"00001 05.03.2011 08:30:05 01 00  127.0.0.1",
                              "00002 05.03.2011 08:30:05 01 00  127.0.0.1"}));
        QCOMPARE(recordsLeft(*terminals[0]), 0);
        QCOMPARE(recordsLeft(*terminals[1]), 0);
        QCOMPARE(recordsLeft(*terminals[2]), 1);
        QVERIFY(result.cancelled);
        QVERIFY(!run.runFlag);
    }

    void noDataAndEmptyList() {
        EmulatorProcess empty;
        QVERIFY(empty.start());
        Store store;
        store.ethernet("A", "127.0.0.1", empty.port());
        Run run;
        run.go(store.folder());
        QCOMPARE(run.memo3.lines(), QStringList{"127.0.0.1 Cihazdan Alınacak Veri Yok..."});

        Store none;
        Run nothing;
        const CollectionResult result = nothing.go(none.folder());
        QCOMPARE(result.terminals, 0);
        QVERIFY(!QFile::exists(none.path("veri.txt")));
        QVERIFY(!QDir(none.path("yedek_selvanor")).exists());
    }

    // An error stops the run where it happens: that terminal keeps its records, the rows
    // after it are not visited, and lines already written stay.
    void errorStopsTheRun_data() { addWorkerRows(); }
    void errorStopsTheRun() {
        QFETCH(int, workers);
        EmulatorProcess first, second;
        QVERIFY(first.start(stateWith({record("1", "2011-03-05 08:30:05")})));
        QVERIFY(second.start(stateWith({record("2", "2011-03-05 08:30:05")})));
        Store store;
        store.ethernet("A", "127.0.0.1", first.port());
        const TerminalRecord broken = store.ethernet("B", "127.0.0.1", second.port());
        store.setColumn(broken.id, "TerminalNo", "bir");
        store.ethernet("C", "127.0.0.1", second.port());
        Run run;
        Options options;
        options.veriSil = true;
        QVERIFY_THROWS_EXCEPTION(DeviceError, run.go(store.folder(), options, {}, workers));
        QCOMPARE(run.started, (QStringList{"1/3: A", "2/3: B"}));
        QCOMPARE(fileLines(store.path("veri.txt")),
                 QStringList{"00001 05.03.2011 08:30:05 01 00  127.0.0.1"});
        QCOMPARE(recordsLeft(second), 1);
    }

    // A record file that cannot be written stops the run before anything is cleared.
    void unwritableFileStopsTheRun_data() { addWorkerRows(); }
    void unwritableFileStopsTheRun() {
        QFETCH(int, workers);
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("1", "2011-03-05 08:30:05")})));
        Store store;
        store.ethernet("A", "127.0.0.1", terminal.port());
        QVERIFY(QDir().mkpath(store.path("yedek_selvanor")));
        QVERIFY(QFile::link("/dev/full", store.backupPath()));
        Run run;
        Options options;
        options.veriSil = true;
        QVERIFY_THROWS_EXCEPTION(RecordFileError, run.go(store.folder(), options, {}, workers));
        QCOMPARE(recordsLeft(terminal), 1);
    }
};

QTEST_GUILESS_MAIN(TestCollection)
#include "test_collection.moc"
