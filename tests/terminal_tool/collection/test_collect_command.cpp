// selvanor collect, as cron or a systemd timer runs it.

#include "collection_fixture.h"

#include <QProcess>
#include <QTcpServer>
#include <QTest>

using namespace fixture;

namespace {

struct Result {
    int exitCode = -1;
    QStringList out;
    QString err;
};

Result collect(const QString& folder, const QStringList& args) {
    QProcess process;
    process.start(qEnvironmentVariable("SELVANO_BIN_DIR") + QStringLiteral("/selvanor"),
                  QStringList{"collect", "--folder", folder} + args);
    process.waitForFinished(120000);
    Result result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    result.out = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void writeSettings(const QString& folder, const QByteArray& options) {
    QFile file(folder + QStringLiteral("Settings.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Options]\r\n" + options);
}

quint16 deadPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

class TestCollectCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void allCollected() {
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("123", "2011-03-05 08:30:05", 1, 3)})));
        Store store;
        store.ethernet("A", "127.0.0.1", terminal.port());
        writeSettings(store.folder(), "veriDosya2=1\r\nveriSil=1\r\ndorvak=\r\n");
        const Result result = collect(store.folder(), {"--all"});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringList());
        const QStringList lines{"00123 05.03.2011 08:30:05 01 03  127.0.0.1"};
        QCOMPARE(fileLines(store.path("veri.txt")), lines);
        QCOMPARE(fileLines(store.path("veri2.txt")), lines);
        QCOMPARE(fileLines(store.backupPath()), lines);
        QCOMPARE(recordsLeft(terminal), 0);
    }

    void someFailed_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("one after the other") << QStringList{"--all"};
        QTest::newRow("two at once") << QStringList{"--all", "--parallel", "2"};
        QTest::newRow("two at once, options in another order")
            << QStringList{"--parallel", "2", "--all"};
    }
    void someFailed() {
        QFETCH(QStringList, args);
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("1", "2011-03-05 08:30:05")})));
        Store store;
        store.ethernet("A", "127.0.0.2", deadPort());
        store.ethernet("B", "127.0.0.1", terminal.port());
        writeSettings(store.folder(), "dorvak=1\r\n");
        const Result result = collect(store.folder(), args);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QStringList{"127.0.0.2 Bağlantı Kurulamadı..."});
        QCOMPARE(fileLines(store.path("veri.txt")),
                 QStringList{"001,0000000001,0,2011-03-05 08:30:05"});
        QCOMPARE(recordsLeft(terminal), 1);
    }

    void errorStopsWithTwo() {
        Store store;
        QVERIFY(QDir(store.path("")).mkdir("veri.txt"));
        store.ethernet("A", "127.0.0.2", deadPort());
        const Result result = collect(store.folder(), {"--all"});
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains("veri.txt"), qPrintable(result.err));
    }

    void oneTerminalByName() {
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("123", "2011-03-05 08:30:05")})));
        Store store;
        store.ethernet("Merkez", "127.0.0.1", terminal.port());
        const Result result = collect(store.folder(), {"--terminal", "Merkez"});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringList{"cihazdan veriler alındı"});
        QCOMPARE(fileLines(store.path("veri.txt")),
                 QStringList{"00123 05.03.2011 08:30:05 01 00 127.0.0.1"});
    }

    void oneTerminalRefusingIsAFailure() {
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("123", "2011-03-05 08:30:05")}),
                               {QStringLiteral("sdk"), false, {"--refuse", "set_device_data:16"}}));
        Store store;
        store.ethernet("Merkez", "127.0.0.1", terminal.port());
        const Result result = collect(store.folder(), {"--terminal", "Merkez"});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QStringList{"Setting device communication status to busy: Fail."});
        QVERIFY(!QFile::exists(store.path("veri.txt")) ||
                fileLines(store.path("veri.txt")).isEmpty());
    }

    void unreachableTerminalByName() {
        Store store;
        store.ethernet("Merkez", "127.0.0.2", deadPort());
        const Result result = collect(store.folder(), {"--terminal", "Merkez"});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("Hata..Bağlantı Kurulamadı...."), qPrintable(result.err));
    }

    void badArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown terminal") << QStringList{"--terminal", "Yok"};
        QTest::newRow("terminal without name") << QStringList{"--terminal"};
        QTest::newRow("parallel 0") << QStringList{"--all", "--parallel", "0"};
        QTest::newRow("parallel not a number") << QStringList{"--all", "--parallel", "iki"};
        QTest::newRow("both --all and --terminal") << QStringList{"--all", "--terminal", "A"};
        QTest::newRow("unknown option") << QStringList{"--all", "--hepsi"};
    }
    void badArguments() {
        QFETCH(QStringList, args);
        Store store;
        const Result result = collect(store.folder(), args);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(!result.err.isEmpty());
        QVERIFY(!QFile::exists(store.path("veri.txt")));
    }
};

QTEST_GUILESS_MAIN(TestCollectCommand)
#include "test_collect_command.moc"
