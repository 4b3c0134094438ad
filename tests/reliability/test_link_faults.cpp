// Fault campaign over the link: answers cut at every chunk boundary and at random offsets, in a
// single download, a collection over all terminals and a receive all; terminals that stay
// silent or answer with hostile frames.

#include "bell_schedule.h"
#include "campaign.h"
#include "collection.h"
#include "collection_fixture.h"
#include "device_error.h"
#include "frame.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "whole_transfer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace fixture;

namespace {

// Generated records enough for three chunk frames of the records answer.
constexpr int GeneratedRecords = 30000;
// One full chunk frame: header, total length, 32 KiB piece, CRC.
constexpr int ChunkFrame = 14 + 4 + 32 * 1024 + 4;

EmulatorOptions cutting(const QString& operation, int offset, const QStringList& more = {}) {
    EmulatorOptions options;
    options.arguments =
        QStringList{"--close-on", operation, "--close-after", QString::number(offset)} + more;
    return options;
}

// Offsets where a cut hurts most: each frame's first byte, the end of its header, its total
// length and its last byte; then random ones (fixed seed, so a failure can be replayed).
void addCutRows(int frames, int span, int randomCount) {
    QTest::addColumn<int>("offset");
    for (int k = 0; k < frames; ++k) {
        const int b = k * ChunkFrame;
        for (int d : {0, 1, 13, 14, 17, 18, ChunkFrame - 1}) {
            if (k > 0 || d < ChunkFrame - 1)
                QTest::addRow("frame %d + %d", k, d) << b + d;
        }
    }
    QRandomGenerator random(20261211);
    for (int i = 0; i < randomCount; ++i) {
        const int offset = random.bounded(span);
        QTest::addRow("random %d", offset) << offset;
    }
}

QString what(const std::exception& e) {
    return QString::fromUtf8(e.what());
}

struct Memos {
    LineCollector memo3, memo4;
    NullProgress progress;
    ScriptedPrompt prompt;
};

// A terminal that answers every request with the given bytes (then closes when asked), so the
// client meets frames no emulator would send.
class HostileTerminal {
public:
    HostileTerminal(QByteArray answer, bool closeAfter) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, answer, closeAfter] {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                return;
            char request[4096];
            while (::read(client, request, sizeof request) > 0) {
                [[maybe_unused]] const ssize_t sent = ::send(
                    client, answer.constData(), static_cast<size_t>(answer.size()), MSG_NOSIGNAL);
                if (closeAfter)
                    break;
            }
            ::close(client);
        });
    }
    ~HostileTerminal() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    HostileTerminal(const HostileTerminal&) = delete;
    HostileTerminal& operator=(const HostileTerminal&) = delete;
    quint16 port() const { return port_; }

private:
    int listener_ = -1;
    quint16 port_ = 0;
    std::thread thread_;
};

// A frame as the terminal would send it, answering the log-in (sequence 1) of device 1.
QByteArray frameBytes(std::uint8_t status, const QByteArray& payload) {
    const ByteVector bytes =
        frame::encode({frame::Login, status, 1, 1, ByteVector(payload.begin(), payload.end())});
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

} // namespace

class TestLinkFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanupTestCase() { campaign::report(); }

    // "Verileri Aktar" with clearing: the records answer is cut; the download ends with the
    // link's error, nothing is cleared, the files hold whole lines only.
    void recordsCutInSingleDownload_data() { addCutRows(3, 3 * ChunkFrame, 6); }
    void recordsCutInSingleDownload() {
        QFETCH(int, offset);
        EmulatorProcess terminal;
        QVERIFY2(terminal.start(EmulatorProcess::defaultState(),
                                cutting("get_device_data:13", offset,
                                        {"--generate-records", QString::number(GeneratedRecords)})),
                 qPrintable(terminal.errorText()));
        const QJsonObject before = terminal.state();
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", terminal.port())));
        Options options;
        options.veriSil = true;
        Memos m;
        QString seen;
        try {
            AttendanceDownload(session, store.folder(), options).run(m.prompt, m.memo4, m.progress);
            QFAIL("the cut answer was taken as whole");
        } catch (const DeviceError& e) {
            seen = what(e);
        }
        QVERIFY(!seen.isEmpty());
        const QStringList lines = fileLines(store.path("veri.txt"));
        QCOMPARE(campaign::brokenLines(lines), QStringList());
        QCOMPARE(campaign::brokenLines(fileLines(store.backupPath())), QStringList());
        QCOMPARE(recordsLeft(terminal), GeneratedRecords);
        const int lost = campaign::lostRecords(before, terminal.state(), lines);
        campaign::count(QStringLiteral("records answer cut, single download"),
                        seen + QStringLiteral(" (error box)"), lost);
        QCOMPARE(lost, 0);
    }

    // A run over three terminals whose second one breaks off: the first is collected and
    // cleared, the run stops with the link's error, the second and third keep their records.
    void recordsCutInCollection_data() {
        QTest::addColumn<int>("workers");
        QTest::addColumn<int>("offset");
        QRandomGenerator random(11122026);
        for (int workers : {1, 3}) {
            for (int offset : {0, 14, ChunkFrame - 1, ChunkFrame, 2 * ChunkFrame + 18,
                               random.bounded(3 * ChunkFrame), random.bounded(3 * ChunkFrame)})
                QTest::addRow("%d worker(s), cut at %d", workers, offset) << workers << offset;
        }
    }
    void recordsCutInCollection() {
        QFETCH(int, workers);
        QFETCH(int, offset);
        EmulatorProcess first, broken, third;
        QVERIFY(first.start(
            stateWith({record("1", "2011-03-05 08:30:05"), record("2", "2011-03-05 08:31:05")})));
        QVERIFY(broken.start(EmulatorProcess::defaultState(),
                             cutting("get_device_data:13", offset,
                                     {"--generate-records", QString::number(GeneratedRecords)})));
        QVERIFY(third.start(stateWith({record("3", "2011-03-05 08:30:05")})));
        const QJsonObject before = broken.state();
        Store store;
        store.ethernet("A", "127.0.0.1", first.port());
        store.ethernet("B", "127.0.0.1", broken.port());
        store.ethernet("C", "127.0.0.1", third.port());
        Options options;
        options.veriSil = true;
        Memos m;
        DeviceSession session;
        std::atomic<bool> runFlag{false};
        CollectionRun run(store.folder(), options);
        QString seen;
        try {
            if (workers > 1)
                run.runParallel(workers, runFlag, m.memo3, m.memo4, m.progress);
            else
                run.run(session, runFlag, m.memo3, m.memo4, m.progress);
            QFAIL("the cut answer was taken as whole");
        } catch (const DeviceError& e) {
            seen = what(e);
        }
        const QStringList lines = fileLines(store.path("veri.txt"));
        QCOMPARE(campaign::brokenLines(lines), QStringList());
        QCOMPARE(lines.size(), 2); // the first terminal's
        QCOMPARE(recordsLeft(first), 0);
        QCOMPARE(recordsLeft(broken), GeneratedRecords);
        QCOMPARE(recordsLeft(third), 1);
        const int lost = campaign::lostRecords(before, broken.state(), lines);
        campaign::count(QStringLiteral("records answer cut, collection from all terminals"),
                        seen + QStringLiteral(" (error box; run stops at that terminal)"), lost);
        QCOMPARE(lost, 0);
    }

    // Receive all: the user list or a user's details cut at any point. The last good backup
    // stays as it was and no half-written file is left beside it.
    void usersCutInReceiveAll_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("offset");
        for (const char* op : {"get_device_data:14", "get_user_data:1:7", "get_user_data:1:40"}) {
            for (int offset : {0, 1, 13, 14, 17, 18, 100, 600})
                QTest::newRow(
                    qPrintable(QStringLiteral("%1 at %2").arg(QLatin1String(op)).arg(offset)))
                    << QString::fromLatin1(op) << offset;
        }
    }
    void usersCutInReceiveAll() {
        QFETCH(QString, operation);
        QFETCH(int, offset);
        QJsonArray users;
        for (int i = 1; i <= 60; ++i) {
            users.append(QJsonObject{
                {"enroll_number", QString::number(i)},
                {"name", QStringLiteral("Kişi %1").arg(i)},
                {"privilege", 1},
                {"enabled", true},
                {"card", QString::number(100000 + i)},
                {"password", ""},
                {"fingerprints", QJsonObject{{"0", QString(996, 'a')}, {"5", QString(996, '7')}}}});
        }
        QJsonObject state = EmulatorProcess::defaultState();
        state.insert("users", users);
        EmulatorProcess terminal;
        QVERIFY2(terminal.start(state, cutting(operation, offset)),
                 qPrintable(terminal.errorText()));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", terminal.port())));
        const QString backup = store.path("allenroll.fpt");
        QVERIFY(writeFileBytes(backup, "last good backup"));
        const QStringList filesBefore = QDir(store.folder()).entryList(QDir::Files);
        EnrollState enrollState;
        EnrollRowTable rows;
        LineCollector memo1;
        ScriptedPrompt prompt;
        PdksNames names;
        QString seen;
        try {
            QVERIFY(!WholeTransfer(session, enrollState, rows, memo1, prompt, names, false)
                         .receiveAll(backup, QString()));
            seen = prompt.texts().join(QLatin1Char(' '));
        } catch (const DeviceError& e) {
            seen = what(e) + QStringLiteral(" (error box)");
        }
        QCOMPARE(readFileBytes(backup), QByteArray("last good backup"));
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files), filesBefore);
        campaign::count(QStringLiteral("users answer cut, receive all"), seen);
    }

    // The bell table's answer cut while reading or before a send: nothing is written to the
    // terminal and the bells stay as they were.
    void bellTableCut_data() {
        QTest::addColumn<bool>("send");
        QTest::addColumn<int>("offset");
        for (bool send : {false, true}) {
            for (int offset : {0, 1, 14, 18, 100, 14 + 4 + 191})
                QTest::addRow("%s at %d", send ? "send" : "read", offset) << send << offset;
        }
    }
    void bellTableCut() {
        QFETCH(bool, send);
        QFETCH(int, offset);
        QJsonObject state = EmulatorProcess::defaultState();
        const QString bells = QStringLiteral("08000001") + QStringLiteral("00000000") +
                              QString(46 * 8, QLatin1Char('0'));
        state.insert("bells", bells);
        EmulatorProcess terminal;
        QVERIFY(terminal.start(state, cutting("get_device_data:2", offset)));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", terminal.port())));
        ScriptedPrompt prompt;
        QString seen;
        try {
            if (send) {
                BellRows rows;
                rows[0].time = QStringLiteral("09:30");
                rows[0].dayIndex = 1;
                rows[0].duration = QStringLiteral("5");
                QVERIFY(!sendBells(session, rows, prompt));
            } else {
                QVERIFY(!readBells(session, prompt));
            }
            seen = prompt.texts().join(QLatin1Char(' '));
        } catch (const DeviceError& e) {
            seen = what(e) + QStringLiteral(" (error box)");
        }
        QVERIFY(!seen.isEmpty());
        QCOMPARE(terminal.state().value("bells").toString().left(bells.size()).toLower(), bells);
        campaign::count(send ? QStringLiteral("bell table cut, send")
                             : QStringLiteral("bell table cut, read"),
                        seen);
    }

    // Hostile answers to the log-in: each ends the connection attempt within the time-out
    // (5 s), with the connection reported as failed, and no crash.
    void hostileAnswers_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("closeAfter");
        QByteArray oversized = frameBytes(frame::Ok, "");
        oversized[2] = oversized[3] = oversized[4] = oversized[5] = char(0xFF);
        QByteArray hugeTotal("\xFF\xFF\xFF\xFF"
                             "x",
                             5);
        QByteArray wrongSequence = frameBytes(frame::Ok, "");
        wrongSequence[12] = 7;
        QTest::newRow("not a frame") << QByteArray("HTTP/1.1 400 Bad Request\r\n\r\n") << true;
        QTest::newRow("length above 1 MiB") << oversized << true;
        QTest::newRow("header only, then closed") << frameBytes(frame::Ok, "").left(10) << true;
        QTest::newRow("truncated, link kept open") << frameBytes(frame::Ok, "x").left(15) << false;
        QTest::newRow("bad checksum") << frameBytes(frame::Ok, "").chopped(1) + '\0' << true;
        QTest::newRow("chunk announcing 4 GiB") << frameBytes(frame::Chunk, hugeTotal) << true;
        QTest::newRow("chunk of nothing") << frameBytes(frame::Chunk, QByteArray(4, '\0')) << true;
        QTest::newRow("unknown status") << frameBytes(0x7F, "") << true;
        QTest::newRow("answer to another request") << wrongSequence << true;
    }
    void hostileAnswers() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, closeAfter);
        HostileTerminal terminal(answer, closeAfter);
        Store store;
        DeviceSession session;
        QElapsedTimer clock;
        clock.start();
        QString seen;
        try {
            QVERIFY(!session.OpenSession(store.ethernet("A", "127.0.0.1", terminal.port())));
            seen = QStringLiteral("connection reported as not made");
        } catch (const DeviceError& e) {
            seen = what(e);
        }
        QVERIFY2(clock.elapsed() < 30000, "the connection attempt did not end");
        campaign::count(QStringLiteral("hostile answer to the log-in"), seen);
    }

    // A terminal that never answers the record read, or answers it with a bad checksum: the
    // download ends with an error, nothing is cleared.
    void silentOrMalformedRecords_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("never answers") << QStringLiteral("--silent");
        QTest::newRow("bad checksum") << QStringLiteral("--malformed");
    }
    void silentOrMalformedRecords() {
        QFETCH(QString, fault);
        EmulatorProcess terminal;
        EmulatorOptions options;
        options.arguments = QStringList{fault, "get_device_data:13"};
        QVERIFY(terminal.start(stateWith({record("1", "2011-03-05 08:30:05")}), options));
        Store store;
        DeviceSession session;
        QVERIFY(session.OpenSession(store.ethernet("A", "127.0.0.1", terminal.port())));
        Options clear;
        clear.veriSil = true;
        Memos m;
        QString seen;
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(DeviceError, [&] {
            try {
                AttendanceDownload(session, store.folder(), clear)
                    .run(m.prompt, m.memo4, m.progress);
            } catch (const DeviceError& e) {
                seen = what(e);
                throw;
            }
        }());
        QVERIFY2(clock.elapsed() < 30000, "the download did not end");
        QCOMPARE(recordsLeft(terminal), 1);
        QCOMPARE(fileLines(store.path("veri.txt")), QStringList());
        campaign::count(QStringLiteral("records answer ") +
                            (fault == QLatin1String("--silent")
                                 ? QStringLiteral("never sent")
                                 : QStringLiteral("with bad checksum")),
                        seen + QStringLiteral(" (error box)"));
    }

    // A slow terminal (every answer 300 ms late) is collected whole.
    void slowTerminal() {
        EmulatorProcess terminal;
        EmulatorOptions options;
        options.arguments = QStringList{"--delay", "300", "--generate-records", "2000"};
        QVERIFY(terminal.start(EmulatorProcess::defaultState(), options));
        const QJsonObject before = terminal.state();
        Store store;
        store.ethernet("A", "127.0.0.1", terminal.port());
        Options clear;
        clear.veriSil = true;
        Memos m;
        DeviceSession session;
        std::atomic<bool> runFlag{false};
        CollectionRun(store.folder(), clear).run(session, runFlag, m.memo3, m.memo4, m.progress);
        const QStringList lines = fileLines(store.path("veri.txt"));
        QCOMPARE(lines.size(), 2000);
        QCOMPARE(recordsLeft(terminal), 0);
        const int lost = campaign::lostRecords(before, terminal.state(), lines);
        campaign::count(QStringLiteral("every answer 300 ms late"),
                        m.memo3.lines().join(QLatin1Char(' ')), lost);
        QCOMPARE(lost, 0);
    }

    // Repeated downloads from a terminal whose answers fail leave the memory where it was.
    void noMemoryGrowth() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer keeps freed memory in quarantine; measured without it");
#endif
        EmulatorProcess terminal;
        QVERIFY(terminal.start(
            EmulatorProcess::defaultState(),
            cutting("get_device_data:13", ChunkFrame + 100, {"--generate-records", "20000"})));
        Store store;
        const TerminalRecord row = store.ethernet("A", "127.0.0.1", terminal.port());
        Options options;
        const auto attempt = [&] {
            DeviceSession session;
            QVERIFY(session.OpenSession(row));
            Memos m;
            QVERIFY_THROWS_EXCEPTION(DeviceError,
                                     AttendanceDownload(session, store.folder(), options)
                                         .run(m.prompt, m.memo4, m.progress));
        };
        for (int i = 0; i < 5; ++i) // allocator and Qt settle
            attempt();
        const long settled = campaign::residentKiB();
        constexpr int Repeats = 60;
        for (int i = 0; i < Repeats; ++i)
            attempt();
        const long growth = campaign::residentKiB() - settled;
        qInfo("resident memory after %d more cut downloads: %+ld KiB", Repeats, growth);
        campaign::count(QStringLiteral("records answer cut, repeated (memory)"),
                        QStringLiteral("resident memory %1%2 KiB over %3 runs")
                            .arg(growth >= 0 ? QStringLiteral("+") : QString())
                            .arg(growth)
                            .arg(Repeats));
        QVERIFY2(growth < 4096, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));
    }
};

QTEST_GUILESS_MAIN(TestLinkFaults)
#include "test_link_faults.moc"
