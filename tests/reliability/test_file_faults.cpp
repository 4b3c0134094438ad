// Fault campaign over the files: record files and folders that cannot be written, a disk that
// fills up (a file-size limit on the collecting process), and a collection killed part way and
// run again.

#include "campaign.h"
#include "collection.h"
#include "collection_fixture.h"
#include "scripted_prompt.h"
#include "test_files.h"

#include <QProcess>
#include <QTest>
#include <QThread>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace fixture;

namespace {

QString selvanor() {
    return qEnvironmentVariable("SELVANO_BIN_DIR") + QStringLiteral("/selvanor");
}

void writeSettings(const Store& store, const QByteArray& options) {
    QVERIFY(writeFileBytes(store.path("Settings.ini"), "[Options]\r\n" + options));
}

struct Terminals {
    std::vector<std::unique_ptr<EmulatorProcess>> emulators;
    std::vector<QJsonObject> before;

    // count terminals with records generated records each, listed in store.
    bool start(Store& store, int count, int records) {
        for (int i = 0; i < count; ++i) {
            emulators.push_back(std::make_unique<EmulatorProcess>());
            EmulatorOptions options;
            options.arguments = QStringList{"--generate-records", QString::number(records)};
            if (!emulators.back()->start(EmulatorProcess::defaultState(), options))
                return false;
            before.push_back(emulators.back()->state());
            store.ethernet(QStringLiteral("T%1").arg(i), "127.0.0.1", emulators.back()->port());
        }
        return true;
    }
    int lost(const QStringList& lines) const {
        int lost = 0;
        for (std::size_t i = 0; i < emulators.size(); ++i)
            lost += campaign::lostRecords(before[i], emulators[i]->state(), lines);
        return lost;
    }
    int left() const {
        int n = 0;
        for (const auto& e : emulators)
            n += recordsLeft(*e);
        return n;
    }
};

} // namespace

class TestFileFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanupTestCase() { campaign::report(); }

    // veri.txt or the backup folder taken by something that is not a writable file: the
    // download stops with the file's name, and nothing is cleared.
    void recordFileCannotBeWritten_data() {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("collection");
        for (bool collection : {false, true}) {
            const char* mode = collection ? "collection" : "single download";
            QTest::addRow("veri.txt is a folder, %s", mode) << "veri.txt/" << collection;
            QTest::addRow("yedek_selvanor is a file, %s", mode) << "yedek_selvanor" << collection;
            QTest::addRow("backup file on a full device, %s", mode) << "full" << collection;
        }
    }
    void recordFileCannotBeWritten() {
        QFETCH(QString, blocker);
        QFETCH(bool, collection);
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("1", "2011-03-05 08:30:05")})));
        Store store;
        const TerminalRecord row = store.ethernet("A", "127.0.0.1", terminal.port());
        if (blocker == QLatin1String("full")) {
            QVERIFY(QDir().mkpath(store.path("yedek_selvanor")));
            QVERIFY(QFile::link("/dev/full", store.backupPath()));
        } else if (blocker.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(store.path(blocker)));
        } else {
            QVERIFY(writeFileBytes(store.path(blocker), "not a folder"));
        }
        Options clear;
        clear.veriSil = true;
        LineCollector memo3, memo4;
        NullProgress progress;
        ScriptedPrompt prompt;
        DeviceSession session;
        QString seen;
        try {
            if (collection) {
                std::atomic<bool> runFlag{false};
                CollectionRun(store.folder(), clear).run(session, runFlag, memo3, memo4, progress);
            } else {
                QVERIFY(session.OpenSession(row));
                AttendanceDownload(session, store.folder(), clear).run(prompt, memo4, progress);
            }
            QFAIL("the failed write was not reported");
        } catch (const RecordFileError& e) {
            seen = QString::fromUtf8(e.what());
        }
        QVERIFY2(seen.contains(store.folder()) || seen.contains(store.path("")), qPrintable(seen));
        QCOMPARE(recordsLeft(terminal), 1);
        campaign::count(QStringLiteral("record file or folder cannot be written"),
                        seen.section(QLatin1Char(' '), 0, 2) + QStringLiteral(" <path>..."));
    }

    // selvanor collect --all under a file-size limit, as a disk that fills up: the command
    // stops with the error, the terminal being written is not cleared, every line is whole, and
    // every record cleared before the fault is in veri.txt.
    void diskFull_data() {
        QTest::addColumn<int>("limit");
        for (int limit : {1, 5000, 65536, 65537, 200000, 700000})
            QTest::addRow("%d bytes", limit) << limit;
    }
    void diskFull() {
        QFETCH(int, limit);
        Store store;
        Terminals terminals;
        QVERIFY(terminals.start(store, 2, 8000));
        writeSettings(store, "veriDosya2=1\r\nveriSil=1\r\n");
        QProcess process;
        process.setChildProcessModifier([limit] {
            const rlimit size{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_FSIZE, &size);
            ::signal(SIGXFSZ, SIG_IGN); // write() then fails with EFBIG instead of a kill
        });
        process.start(selvanor(), {"collect", "--folder", store.folder(), "--all"});
        QVERIFY(process.waitForFinished(120000));
        const QString err = QString::fromUtf8(process.readAllStandardError()).trimmed();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(err.contains(QStringLiteral("yazılamadı")), qPrintable(err));
        int lost = 0;
        for (const QString& file : {QStringLiteral("veri.txt"), QStringLiteral("veri2.txt")}) {
            const QStringList lines = fileLines(store.path(file));
            QCOMPARE(campaign::brokenLines(lines), QStringList());
            lost = std::max(lost, terminals.lost(lines));
        }
        QCOMPARE(campaign::brokenLines(fileLines(store.backupPath())), QStringList());
        QVERIFY(terminals.left() >= 8000); // the terminal being written keeps its records
        campaign::count(QStringLiteral("disk full (file-size limit) during collect --all"),
                        err.section(QLatin1Char(':'), 0, 1) + QStringLiteral(": ... (exit code 2)"),
                        lost);
        QCOMPARE(lost, 0);
    }

    // selvanor collect --all killed (SIGKILL) at a point of its run, then run again to the end:
    // every record that left a terminal is in veri.txt, and no line is broken.
    void killedCollection_data() {
        QTest::addColumn<int>("killAtBytes"); // size of veri.txt at the kill; -1: first clear
        for (int bytes : {0, 1, 100000, 400000, 900000, -1})
            QTest::addRow("%d", bytes) << bytes;
    }
    void killedCollection() {
        QFETCH(int, killAtBytes);
        Store store;
        Terminals terminals;
        QVERIFY(terminals.start(store, 4, 6000));
        writeSettings(store, "veriSil=1\r\n");
        QProcess first;
        first.start(selvanor(), {"collect", "--folder", store.folder(), "--all"});
        QVERIFY(first.waitForStarted());
        QFile veri(store.path("veri.txt"));
        for (;;) {
            const bool reached = killAtBytes >= 0 ? QFileInfo(veri).size() >= killAtBytes
                                                  : recordsLeft(*terminals.emulators[0]) == 0;
            if (reached || first.state() == QProcess::NotRunning)
                break;
            QThread::msleep(1);
        }
        first.kill();
        QVERIFY(first.waitForFinished());
        const QStringList afterKill = fileLines(store.path("veri.txt"));
        const int lostAtKill = terminals.lost(afterKill);
        QCOMPARE(lostAtKill, 0);
        QProcess second;
        second.start(selvanor(), {"collect", "--folder", store.folder(), "--all"});
        QVERIFY(second.waitForFinished(120000));
        QCOMPARE(second.exitCode(), 0);
        const QStringList lines = fileLines(store.path("veri.txt"));
        QCOMPARE(campaign::brokenLines(lines), QStringList());
        QCOMPARE(terminals.left(), 0);
        const int lost = terminals.lost(lines);
        campaign::count(QStringLiteral("collect --all killed (SIGKILL), then run again"),
                        QStringLiteral("second run completes (exit code 0)"), lost);
        QCOMPARE(lost, 0);
    }
};

QTEST_GUILESS_MAIN(TestFileFaults)
#include "test_file_faults.moc"
