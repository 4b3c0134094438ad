// A terminal's whole enrollment to a backup file and back, the listings of the "TÜM DATA" page,
// and the backup and restore commands, against emulated terminals.
#include "cli/commands.h"
#include "enroll_fixture.h"
#include "scripted_prompt.h"
#include "terminal_registry.h"
#include "whole_transfer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace enroll_test;

namespace {

const QList<TerminalUser> kThree = {
    {"1", "Ali", 1, "", "", {0}},
    {"5", "Şule Öztürk", 16, "", "12345678", {0, 3}},
    {"8", "Can", 32, "4711", "", {}},
};

EmulatorOptions refusing(const QString& operation) {
    EmulatorOptions options;
    options.arguments = QStringList{"--refuse", operation};
    return options;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One transfer with its own window state, as the enrollment window would hold it.
struct Page {
    EnrollState state;
    EnrollRowTable rows;
    LineCollector memo;
    ScriptedPrompt prompt;
    PdksNames names;
    WholeTransfer transfer(DeviceSession& session) {
        return WholeTransfer(session, state, rows, memo, prompt, names, false);
    }
};

UserPtr fileUser(const QString& number, const QString& name) {
    UserPtr u = CoUserExt();
    u->EnrollNumber = number;
    u->UserName = name;
    u->Enrolls.front().EnrollNumber = number;
    return u;
}

} // namespace

class TestWholeTransfer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void receiveAll() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kThree)));
        QTemporaryDir dir;
        const QString backup = dir.filePath("allenroll.fpt");
        Page page;
        page.memo.addLine("from before");
        QVERIFY(page.transfer(session).receiveAll(backup, dir.filePath("Settings.ini")));
        QCOMPARE(page.prompt.texts(), QStringList({"Tüm data alındı...."}));
        QCOMPARE(page.memo.lines(), QStringList({"1 Ali", "5 Şule Öztürk", "8 Can"}));
        QCOMPARE(page.rows.rowCount(), 3);
        const QStringList five = page.rows.rows().at(1).columns;
        QCOMPARE(five, QStringList({"2", "5", "Şule Öztürk", "Y", "N", "N", "Y", "N", "N", "N", "N",
                                    "N", "N", "N", "Y", "Customer"}));
        QCOMPARE(page.rows.text(2, ColPrivilege), QString());
        QCOMPARE(page.rows.text(2, ColPwd), QStringLiteral("Y"));
        QVERIFY(!page.rows.isTicked(0));
        QCOMPARE(page.state.loadedUsers.size(), std::size_t(3));
        QCOMPARE(page.state.wholeSet, page.state.loadedUsers);

        std::vector<UserPtr> back;
        QVERIFY(TZd2911EnrollFile::LoadAllEnrolls(backup, back));
        QCOMPARE(back.size(), std::size_t(3));
        ByteVector fingers = fingerprintTemplate(50);
        const ByteVector third = fingerprintTemplate(53);
        fingers.insert(fingers.end(), third.begin(), third.end());
        QCOMPARE(back[1]->Enrolls.front().FingerprintData, fingers);
        QCOMPARE(back[2]->Enrolls.front().Password, QStringLiteral("4711"));
        QVERIFY(!QFile::exists(backup + ".new"));
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }

    // User 2's detail read is refused: rows for user 1 only, the failure, and the last good
    // backup stays as it was (or no backup appears).
    void detailReadFailureKeepsLastBackup_data() {
        QTest::addColumn<QByteArray>("earlier");
        QTest::newRow("earlier backup") << QByteArray("the last good backup");
        QTest::newRow("no earlier backup") << QByteArray();
    }
    void detailReadFailureKeepsLastBackup() {
        QFETCH(QByteArray, earlier);
        EmulatorProcess emulator;
        DeviceSession session;
        const QList<TerminalUser> users = {{"1", "Bir", 1, "", "", {0}},
                                           {"2", "İki", 1, "", "", {1}},
                                           {"3", "Üç", 1, "", "", {2}}};
        QVERIFY(
            startAndConnect(emulator, session, stateWith(users), refusing("get_user_data:1:2")));
        QTemporaryDir dir;
        const QString backup = dir.filePath("allenroll.fpt");
        if (!earlier.isEmpty()) {
            QFile file(backup);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlier);
        }
        Page page;
        QVERIFY(!page.transfer(session).receiveAll(backup, dir.filePath("Settings.ini")));
        QCOMPARE(page.prompt.texts(),
                 QStringList({"Get all enroll data fail", "HATA!!!!data alınamadı.."}));
        QCOMPARE(page.rows.rowCount(), 1);
        QCOMPARE(page.rows.text(0, ColUserId), QStringLiteral("1"));
        QCOMPARE(QFile::exists(backup), !earlier.isEmpty());
        QCOMPARE(readFile(backup), earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), earlier.isEmpty() ? 0 : 1);
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }

    // The link breaks during user 2's detail read: the error ends the operation, the last good
    // backup stays, and the idle status that can no longer be sent does not hide the error.
    void linkLostKeepsLastBackup() {
        EmulatorProcess emulator;
        DeviceSession session;
        EmulatorOptions options;
        options.arguments = QStringList{"--close-on", "get_user_data:1:5", "--close-after", "3"};
        QVERIFY(startAndConnect(emulator, session, stateWith(kThree), options));
        QTemporaryDir dir;
        const QString backup = dir.filePath("allenroll.fpt");
        QFile earlier(backup);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("good");
        earlier.close();
        Page page;
        QVERIFY_THROWS_EXCEPTION(DeviceError, page.transfer(session).receiveAll(backup, QString()));
        QCOMPARE(page.rows.rowCount(), 1);
        QVERIFY(page.prompt.texts().isEmpty());
        QCOMPARE(readFile(backup), QByteArray("good"));
    }

    void listReadRefused() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(
            startAndConnect(emulator, session, stateWith(kThree), refusing("get_device_data:14")));
        QTemporaryDir dir;
        Page page;
        page.rows.addRow(QStringList(EnrollColumnCount, "x"));
        page.memo.addLine("from before");
        QVERIFY(!page.transfer(session).receiveAll(dir.filePath("allenroll.fpt"), QString()));
        QCOMPARE(page.prompt.texts(),
                 QStringList({"[get all enroll: Fail] HATA!!!!data alınamadı.."}));
        QCOMPARE(page.rows.rowCount(), 1);
        QVERIFY(page.memo.lines().isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("allenroll.fpt")));
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }

    // Every ticked row writes every user of the set that carries its number: with two users
    // numbered 9 each row of them writes both, so the second one is what the terminal keeps
    // even when only the first row is ticked.
    void sendAllWritesPerTickedRow_data() {
        QTest::addColumn<QList<int>>("unticked");
        QTest::addColumn<QString>("nineName");
        QTest::addColumn<bool>("fourWritten");
        QTest::newRow("all rows") << QList<int>{} << "İkinci" << true;
        QTest::newRow("first 9 only") << QList<int>{1, 2} << "İkinci" << false;
        QTest::newRow("no 9") << QList<int>{0, 2} << "" << true;
    }
    void sendAllWritesPerTickedRow() {
        QFETCH(QList<int>, unticked);
        QFETCH(QString, nineName);
        QFETCH(bool, fourWritten);
        QTemporaryDir dir;
        const QString backup = dir.filePath("allenroll.fpt");
        QVERIFY(TZd2911EnrollFile::SaveAllEnrolls(
            backup, {fileUser("9", "Birinci"), fileUser("4", "Dört"), fileUser("9", "İkinci")}));
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith({})));
        Page page;
        WholeTransfer transfer = page.transfer(session);
        QVERIFY(transfer.loadBackup(backup));
        QCOMPARE(page.rows.rowCount(), 3);
        for (int row = 0; row < 3; ++row)
            QVERIFY(page.rows.isTicked(row));
        for (int row : unticked)
            page.rows.setTicked(row, false);
        QVERIFY(transfer.writeTickedRows());
        QCOMPARE(page.prompt.texts(), QStringList({"Tüm data cihaza yüklendi..."}));
        const QJsonObject after = emulator.state();
        QCOMPARE(userIn(after, "9").value("name").toString(), nineName);
        QCOMPARE(!userIn(after, "4").isEmpty(), fourWritten);
        QCOMPARE(after.value("comm_status").toInt(), 0);
    }

    // A refused write is reported and the closing message is not shown, even when the writes
    // after it went through.
    void sendAllWithRefusedWrite() {
        QTemporaryDir dir;
        const QString backup = dir.filePath("allenroll.fpt");
        QVERIFY(TZd2911EnrollFile::SaveAllEnrolls(
            backup, {fileUser("3", "Üç"), fileUser("4", "Dört"), fileUser("5", "Beş")}));
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith({}), refusing("set_user_data:1:4")));
        Page page;
        QVERIFY(!page.transfer(session).sendAll(backup));
        QCOMPARE(page.prompt.texts(), QStringList({"set all enroll data fail"}));
        const QJsonObject after = emulator.state();
        QVERIFY(!userIn(after, "3").isEmpty());
        QVERIFY(userIn(after, "4").isEmpty());
        QVERIFY(!userIn(after, "5").isEmpty());
        QCOMPARE(after.value("comm_status").toInt(), 0);
    }

    void listings_data() {
        QTest::addColumn<QString>("which"); // "all" or a user number for the one-user listing
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("list only") << "all"
                                   << "" << QStringList{"1", "5", "8"} << QStringList{};
        QTest::newRow("list only refused")
            << "all"
            << "get_device_data:14" << QStringList{"old"} << QStringList{"get all enroll: Fail"};
        QTest::newRow("one user") << " 5 "
                                  << "" << QStringList{"5"} << QStringList{};
        QTest::newRow("one unknown user")
            << "6"
            << "" << QStringList{"old"} << QStringList{"get user enroll: Fail"};
        QTest::newRow("one user, detail refused")
            << "5"
            << "get_user_data:1:5" << QStringList{} << QStringList{"Get enroll data fail"};
    }
    void listings() {
        QFETCH(QString, which);
        QFETCH(QString, refuse);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, messages);
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kThree),
                                refuse.isEmpty() ? EmulatorOptions() : refusing(refuse)));
        Page page;
        QStringList old(EnrollColumnCount, "old");
        page.rows.addRow(old);
        page.memo.addLine("kept");
        WholeTransfer transfer = page.transfer(session);
        QCOMPARE(which == "all" ? transfer.listOnly() : transfer.oneUser(which),
                 messages.isEmpty());
        QStringList shown;
        for (int row = 0; row < page.rows.rowCount(); ++row)
            shown << page.rows.text(row, ColUserId);
        QCOMPARE(shown, ids);
        QCOMPARE(page.prompt.texts(), messages);
        QCOMPARE(page.memo.lines().first(), QStringLiteral("kept"));
        QVERIFY(page.state.loadedUsers.empty());
        QVERIFY(page.state.wholeSet.empty());
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }

    // The nightly backup of one terminal restored onto its replacement gives the same users,
    // fingerprints, cards, passwords, names and privileges.
    void backupRestoredOnAnotherTerminal() {
        const QList<TerminalUser> users = {
            {"1", "İsmail Ağır", 8, "1234", "", {0, 9}},
            {"42", "Gülşen Çökmez", 16, "", "0042424242", {3}},
            {"100", "Işık", 1, "9", "77", {}},
        };
        EmulatorProcess old;
        EmulatorProcess replacement;
        QVERIFY2(old.start(stateWith(users)), qPrintable(old.errorText()));
        QVERIFY2(replacement.start(stateWith({{"7", "Silinecek", 1, "", "", {1}}})),
                 qPrintable(replacement.errorText()));
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        QString error;
        QVERIFY2(TerminalRegistry::createStore(folder, &error), qPrintable(error));
        {
            TerminalRegistry registry(folder + "Data.db");
            registry.insert(emulatorRow(old, "Eski"));
            registry.insert(emulatorRow(replacement, "Yeni"));
        }
        QCOMPARE(runBackup(folder, {"--terminal", "Eski"}), 0);
        QVERIFY(QFile::exists(folder + "allenroll.fpt"));
        QCOMPARE(runRestore(folder, {"--terminal=Yeni"}), 0);
        const QJsonObject restored = replacement.state();
        QJsonArray expected = enrollmentOf(old.state());
        expected.prepend(enrollmentOf(stateWith({{"7", "Silinecek", 1, "", "", {1}}})).at(0));
        QCOMPARE(enrollmentOf(restored), expected);
        QCOMPARE(restored.value("comm_status").toInt(), 0);

        // Another file by --file; a damaged one is refused and the terminal is left alone.
        QCOMPARE(runBackup(folder, {"--terminal", "Eski", "--file", folder + "nightly.fpt"}), 0);
        QCOMPARE(readFile(folder + "nightly.fpt").isEmpty(), false);
        QByteArray damaged = readFile(folder + "nightly.fpt");
        damaged.chop(5);
        QFile cut(folder + "cut.fpt");
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(damaged);
        cut.close();
        QCOMPARE(runRestore(folder, {"--terminal", "Yeni", "--file", folder + "cut.fpt"}), 1);
        QCOMPARE(runRestore(folder, {"--terminal", "Yeni", "--file", folder + "none.fpt"}), 1);
        QCOMPARE(enrollmentOf(replacement.state()), expected);

        QCOMPARE(runBackup(folder, {"--terminal", "Yok"}), 2);
        QCOMPARE(runBackup(folder, {}), 2);
        QCOMPARE(runRestore(folder, {"--terminal", "Yeni", "--bogus", "x"}), 2);
    }
};

QTEST_GUILESS_MAIN(TestWholeTransfer)
#include "test_whole_transfer.moc"
