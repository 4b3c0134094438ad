// The enrollment pieces that need no terminal: the fingerprint write vector, the list rows,
// trimming, the enrollment files, the PDKS settings, and a backup refused before any contact.
#include "enroll_files.h"
#include "enroll_fixture.h"
#include "pdks_names.h"
#include "scripted_prompt.h"
#include "single_user.h"
#include "whole_transfer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using enroll_test::fingerprintTemplate;

namespace {

UserPtr user(const QString& number, const QString& name, int kinds = 0, int privilege = 1) {
    UserPtr u = CoUserExt();
    u->EnrollNumber = number;
    u->UserName = name;
    u->Privilege = privilege;
    u->Enrolls.front().EnrollNumber = number;
    u->Enrolls.front().EnrollKinds = kinds;
    if (kinds & 1)
        u->Enrolls.front().FingerprintData = fingerprintTemplate(number.toInt());
    return u;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestEnrollParts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fingerprintWriteVector_data() {
        QTest::addColumn<int>("finger");
        QTest::addColumn<int>("size");
        QTest::newRow("finger 0") << 0 << 498;
        QTest::newRow("finger 3") << 3 << 1992;
        QTest::newRow("finger 9") << 9 << 4980;
    }
    void fingerprintWriteVector() {
        QFETCH(int, finger);
        QFETCH(int, size);
        const ByteVector buffer = fingerprintTemplate(4);
        const ByteVector v = SingleUserOperations::fingerprintWriteVector(buffer, finger);
        QCOMPARE(int(v.size()), size);
        const auto at = v.begin() + finger * FingerprintTemplateSize;
        QVERIFY(std::all_of(v.begin(), at, [](std::uint8_t b) { return b == 0; }));
        QCOMPARE(ByteVector(at, v.end()), buffer);
    }

    void rowColumns_data() {
        QTest::addColumn<int>("kinds");
        QTest::addColumn<int>("privilege");
        QTest::addColumn<QStringList>("marks"); // FP 0..9, PWD, Card
        QTest::addColumn<QString>("privilegeName");
        const QStringList none(12, QStringLiteral("N"));
        QStringList fingers03card = none;
        fingers03card[0] = fingers03card[3] = fingers03card[11] = QStringLiteral("Y");
        QStringList all(12, QStringLiteral("Y"));
        QStringList pwd = none;
        pwd[10] = QStringLiteral("Y");
        QTest::newRow("fingers 0 and 3, card; Customer")
            << (1 | 8 | 2048) << 16 << fingers03card << "Customer";
        QTest::newRow("nothing enrolled; General user") << 0 << 1 << none << "General user";
        QTest::newRow("privilege 32 is an empty cell") << 4095 << 32 << all << "";
        QTest::newRow("password only; Super user") << 1024 << 2 << pwd << "Super user";
    }
    void rowColumns() {
        QFETCH(int, kinds);
        QFETCH(int, privilege);
        QFETCH(QStringList, marks);
        QFETCH(QString, privilegeName);
        const QStringList columns =
            EnrollRowFiller::rowColumns(7, *user("5", "Ayşe", kinds, privilege));
        QCOMPARE(columns.size(), int(EnrollColumnCount));
        QCOMPARE(columns.mid(0, 3), QStringList({"7", "5", "Ayşe"}));
        QCOMPARE(columns.mid(ColFp0, 12), marks);
        QCOMPARE(columns.at(ColPrivilege), privilegeName);
        QCOMPARE(enrollColumnTitles().size(), int(EnrollColumnCount));
    }

    void trimmedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("blanks") << "  12 "
                                << "12";
        QTest::newRow("control characters") << QString("\t\x01"
                                                       "7\r\n")
                                            << "7";
        QTest::newRow("inner blank kept") << " 1 2 "
                                          << "1 2";
        QTest::newRow("only blanks") << "   "
                                     << "";
        QTest::newRow("Turkish letters kept") << " İğ "
                                              << "İğ";
    }
    void trimmedText() {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(::trimmedText(text), trimmed);
    }

    void completeFptName_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "/d/fp1"
                                      << "/d/fp1.fpt";
        QTest::newRow("upper case does not count") << "/d/fp1.FPT"
                                                   << "/d/fp1.FPT.fpt";
        QTest::newRow("has it") << "/d/fp1.fpt"
                                << "/d/fp1.fpt";
        QTest::newRow("anywhere in the name") << "/d/a.fpt.bak"
                                              << "/d/a.fpt.bak";
    }
    void completeFptName() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QCOMPARE(EnrollFiles::completeFptName(chosen), written);
    }

    void fingerprintFileRoundTrip() {
        QTemporaryDir dir;
        EnrollState state;
        state.fingerprint = fingerprintTemplate(9);
        EnrollRowTable rows;
        ScriptedPrompt prompt;
        EnrollFiles files(state, rows, prompt, dir.path() + "/");
        prompt.answerFile(dir.filePath("fp1"));
        QVERIFY(files.saveFingerprint());
        QCOMPARE(readFile(dir.filePath("fp1.fpt")).size(), FingerprintTemplateSize);
        QCOMPARE(prompt.lastFilter(), QStringLiteral("Fingerprint File(*.fpt)"));

        state.fingerprint = NewByteVector(FingerprintTemplateSize);
        prompt.answerFile(dir.filePath("fp1.fpt"));
        QVERIFY(files.openFingerprint());
        QCOMPARE(state.fingerprint, fingerprintTemplate(9));
        QCOMPARE(BytesToHex(state.fingerprint).size(), 1494);
        QVERIFY(prompt.texts(ScriptedPrompt::Kind::Message).isEmpty());

        // Cancelled dialogs change nothing.
        QVERIFY(!files.saveFingerprint());
        QVERIFY(!files.openFingerprint());
        QCOMPARE(state.fingerprint, fingerprintTemplate(9));
    }

    void shortFingerprintFileFillsZeros() {
        QTemporaryDir dir;
        writeFile(dir.filePath("short.fpt"), QByteArray(10, '\x7f'));
        EnrollState state;
        state.fingerprint = fingerprintTemplate(3);
        EnrollRowTable rows;
        ScriptedPrompt prompt;
        EnrollFiles files(state, rows, prompt, dir.path() + "/");
        prompt.answerFile(dir.filePath("short.fpt"));
        QVERIFY(files.openFingerprint());
        ByteVector expected = NewByteVector(FingerprintTemplateSize);
        std::fill(expected.begin(), expected.begin() + 10, 0x7f);
        QCOMPARE(state.fingerprint, expected);
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Warning).size(), 1);

        // A file that cannot be opened is an error and keeps the buffer.
        prompt.answerFile(dir.filePath("missing.fpt"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, files.openFingerprint());
        QCOMPARE(state.fingerprint, expected);
    }

    void allEnrollFile() {
        QTemporaryDir dir;
        EnrollState state;
        state.wholeSet = {user("1", "Ali", 1), user("2", "Veli", 1024, 8)};
        EnrollRowTable rows;
        LineCollector memo;
        ScriptedPrompt prompt;
        EnrollFiles files(state, rows, prompt, dir.path() + "/");
        prompt.answerFile(dir.filePath("set"));
        QVERIFY(files.saveAll());
        QCOMPARE(prompt.lastProposedName(), QStringLiteral("AllEnrollData.fpt"));
        QVERIFY(QFile::exists(dir.filePath("set.fpt")));

        EnrollState other;
        EnrollFiles reader(other, rows, prompt, dir.path() + "/");
        EnrollRowFiller filler(rows, memo, nullptr);
        prompt.answerFile(dir.filePath("set.fpt"));
        QVERIFY(reader.openAll(filler));
        QCOMPARE(other.loadedUsers.size(), std::size_t(2));
        QCOMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.text(1, ColPrivilege), QStringLiteral("View user"));
        QCOMPARE(memo.lines(), QStringList({"1 Ali", "2 Veli"}));
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message),
                 QStringList({"save all enroll success", "open all enroll success"}));

        writeFile(dir.filePath("bad.fpt"), "not an enrollment file");
        prompt.clear();
        prompt.answerFile(dir.filePath("bad.fpt"));
        QVERIFY(!reader.openAll(filler));
        QCOMPARE(prompt.texts(), QStringList({"open all enroll fail"}));
        QCOMPARE(other.wholeSet.size(), std::size_t(2));
    }

    void oneEnrollFiles() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        EnrollState state;
        state.loadedUsers = {user("3", "Üç", 1), user("8", "Sekiz"), user("15", "Onbeş", 2048)};
        EnrollRowTable rows;
        LineCollector memo;
        EnrollRowFiller filler(rows, memo, nullptr);
        for (const UserPtr& u : state.loadedUsers)
            filler.addRow(*u);
        ScriptedPrompt prompt;
        EnrollFiles files(state, rows, prompt, folder);

        // No ticked row: nothing saved, and still the success message.
        QVERIFY(files.saveOne());
        QVERIFY(!QDir(folder + "userdata").exists() ||
                QDir(folder + "userdata").isEmpty(QDir::Files));
        rows.setTicked(0, true);
        rows.setTicked(2, true);
        QVERIFY(files.saveOne());
        QCOMPARE(QDir(folder + "userdata").entryList(QDir::Files),
                 QStringList({"OD_15.db", "OD_3.db"}));
        QCOMPARE(prompt.texts(), QStringList(2, "save one enroll to file success"));

        prompt.clear();
        prompt.answerFiles({folder + "userdata/OD_15.db", folder + "userdata/OD_3.db",
                            folder + "userdata/OD_15.db"});
        QVERIFY(files.openOne(filler));
        QCOMPARE(rows.rowCount(), 3);
        QCOMPARE(rows.text(0, ColSn) + rows.text(1, ColSn) + rows.text(2, ColSn), "123");
        QCOMPARE(rows.text(0, ColUserId), QStringLiteral("15"));
        QCOMPARE(rows.text(0, ColCard), QStringLiteral("Y"));
        QCOMPARE(rows.text(1, ColUserName), QStringLiteral("Üç"));
        QCOMPARE(prompt.lastFilter(), QStringLiteral("OneEnrollData File(OD_*.DB)"));

        // A file that cannot be read stops: the rows stay, the users read before it are kept.
        writeFile(folder + "userdata/OD_99.db", "broken");
        prompt.clear();
        prompt.answerFiles({folder + "userdata/OD_3.db", folder + "userdata/OD_99.db"});
        QVERIFY(!files.openOne(filler));
        QCOMPARE(prompt.texts(), QStringList({"open one enroll file fail"}));
        QCOMPARE(rows.rowCount(), 3);
        QCOMPARE(state.loadedUsers.size(), std::size_t(1));
        QCOMPARE(state.loadedUsers.front()->EnrollNumber, QStringLiteral("3"));
    }

    void pdksSettings_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("warnings");
        QTest::newRow("no file: defaults") << QByteArray() << ""
                                           << "" << 3306 << 0;
        QTest::newRow("all keys") << QByteArray("[Login]\r\nServer=db1\r\nDatabase=pdks\r\n"
                                                "[MySql]\r\nUser=u\r\nPassword=p\r\nPort=3307\r\n")
                                  << "db1"
                                  << "pdks" << 3307 << 0;
        QTest::newRow("server in the wrong section")
            << QByteArray("[MySql]\nServer=db1\nDatabase=pdks\n") << ""
            << "" << 3306 << 0;
        QTest::newRow("port no number: warned, the rest set")
            << QByteArray("[Login]\nServer=db2\n[MySql]\nPort=33a\n") << "db2"
            << "" << 3306 << 1;
    }
    void pdksSettings() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, server);
        QFETCH(QString, database);
        QFETCH(int, port);
        QFETCH(int, warnings);
        QTemporaryDir dir;
        if (!ini.isEmpty())
            writeFile(dir.filePath("Settings.ini"), ini);
        PdksNames names;
        ScriptedPrompt prompt;
        names.applySettings(dir.filePath("Settings.ini"), prompt);
        QCOMPARE(names.settings().server, server);
        QCOMPARE(names.settings().database, database);
        QCOMPARE(names.settings().port, QString::number(port));
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Warning),
                 QStringList(warnings, QStringLiteral("Veritabanına bağlanamadı....")));
    }

    // Send all with a missing or unreadable backup stops before the terminal is contacted:
    // the session here was never opened, so any contact would throw.
    void sendAllRefusesBadBackupBeforeContact_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << false << "Önce cihazdan tüm datayı alınız....";
        QTest::newRow("corrupt") << QByteArray("garbage") << true
                                 << "[open all enroll fail], dosya okunamadı..";
        QTest::newRow("empty") << QByteArray() << true
                               << "[open all enroll fail], dosya okunamadı..";
    }
    void sendAllRefusesBadBackupBeforeContact() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("allenroll.fpt");
        if (exists)
            writeFile(path, content);
        DeviceSession session;
        EnrollState state;
        state.wholeSet = {user("4", "Dört")};
        EnrollRowTable rows;
        rows.addRow(EnrollRowFiller::rowColumns(1, *state.wholeSet.front()));
        LineCollector memo;
        memo.addLine("earlier line");
        ScriptedPrompt prompt;
        PdksNames names;
        WholeTransfer transfer(session, state, rows, memo, prompt, names, false);
        QVERIFY(!transfer.sendAll(path));
        QCOMPARE(prompt.texts(), QStringList({message}));
        QCOMPARE(rows.rowCount(), 1);
        QVERIFY(memo.lines().isEmpty());
        QCOMPARE(state.wholeSet.size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestEnrollParts)
#include "test_enroll_parts.moc"
