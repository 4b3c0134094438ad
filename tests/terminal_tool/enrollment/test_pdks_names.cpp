// Users named from the PDKS database while the whole enrollment moves: a real MariaDB server
// with a latin5 database, and emulated terminals.
#include "enroll_fixture.h"
#include "ini_file.h"
#include "pdks_test_db.h"
#include "scripted_prompt.h"
#include "whole_transfer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace enroll_test;

namespace {

const QList<TerminalUser> kUsers = {
    {"42", "Terminal 42", 1, "", "", {0}},
    {"7", "Terminal 7", 1, "", "", {}},
    {"9", "Dokuz", 1, "", "", {}},
    {"123456", "Terminal 6", 1, "", "", {}},
    {"3", "Üç", 1, "", "", {}},
    {"1'2", "Tırnaklı", 1, "", "", {}},
    {"3\\4", "Ters", 1, "", "", {}},
};

struct Page {
    EnrollState state;
    EnrollRowTable rows;
    LineCollector memo;
    ScriptedPrompt prompt;
    PdksNames names;
    WholeTransfer transfer(DeviceSession& session, bool lookUp) {
        return WholeTransfer(session, state, rows, memo, prompt, names, lookUp);
    }
};

QStringList column(const EnrollRowTable& rows, int column) {
    QStringList texts;
    for (const EnrollRowTable::Row& row : rows.rows())
        texts << row.columns.value(column);
    return texts;
}

} // namespace

class TestPdksNames : public QObject {
    Q_OBJECT
private:
    PdksTestDb db_;
    QTemporaryDir folder_;

    QString settingsPath() const { return folder_.filePath("Settings.ini"); }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        const PdksTestDb server = PdksTestDb::fromFixture(&error);
        QVERIFY2(server.isValid(), qPrintable(error));
        db_ = server.freshDatabase("pdks_enroll", false);
        // Card numbers as PDKS keeps them; "9" alone never matches user 9 (looked up as 00009).
        db_.client("INSERT INTO personel (kartno, ad, soyad) VALUES "
                   "('00042', 'Gülşehir', 'Çağlayanlı'), ('00007', 'Yedi', 'Yıldız'), "
                   "('9', 'Yanlış', 'Eşleşme'), ('123456', 'Altı', 'Hane'), "
                   "('00003', 'İŞĞÜ', 'ÖÇı'), ('001''2', 'Tırnak', 'Var'), "
                   "('003\\\\4', 'Ters', 'Bölü');");
        db_.writeSettingsIni(folder_.path());
    }

    // Receive all names the users from PDKS (cut to 12), stores those names in the backup,
    // and send all writes them, Turkish letters intact, onto another terminal.
    void namesTravelThroughTheBackup() {
        EmulatorProcess source;
        DeviceSession session;
        QVERIFY(startAndConnect(source, session, stateWith(kUsers)));
        const QString backup = folder_.filePath("allenroll.fpt");
        Page page;
        QVERIFY(page.transfer(session, true).receiveAll(backup, settingsPath()));
        const QStringList names = {"Gülşehir Çağ", "Yedi Yıldız", "Dokuz",    "Altı Hane",
                                   "İŞĞÜ ÖÇı",     "Tırnak Var",  "Ters Bölü"};
        QCOMPARE(column(page.rows, ColUserName), names);
        QCOMPARE(page.memo.lines().first(), QStringLiteral("42 Gülşehir Çağ"));
        QCOMPARE(page.prompt.texts(), QStringList({"Tüm data alındı...."}));
        QCOMPARE(page.names.settings().database, db_.database);

        std::vector<UserPtr> stored;
        QVERIFY(TZd2911EnrollFile::LoadAllEnrolls(backup, stored));
        QStringList storedNames;
        for (const UserPtr& u : stored)
            storedNames << u->UserName;
        QCOMPARE(storedNames, names);

        // Send all looks the names up again, through the settings as last set.
        EmulatorProcess target;
        DeviceSession other;
        QVERIFY(startAndConnect(target, other, stateWith({})));
        page.prompt.clear();
        QVERIFY(page.transfer(other, true).sendAll(backup));
        QCOMPARE(page.prompt.texts(), QStringList({"Tüm data cihaza yüklendi..."}));
        QCOMPARE(userIn(target.state(), "3").value("name").toString(), QStringLiteral("İŞĞÜ ÖÇı"));
        QCOMPARE(userIn(target.state(), "42").value("name").toString(),
                 QStringLiteral("Gülşehir Çağ"));
        QCOMPARE(userIn(target.state(), "9").value("name").toString(), QStringLiteral("Dokuz"));
    }

    // The names into the rows shown: whole, not cut, and the users keep their own names.
    void namesIntoRowsOnly() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        Page page;
        QVERIFY(page.transfer(session, false).receiveAll(folder_.filePath("plain.fpt"), QString()));
        page.prompt.clear();
        page.transfer(session, false).pdksNamesIntoRows(settingsPath());
        QCOMPARE(page.rows.text(0, ColUserName), QStringLiteral("Gülşehir Çağlayanlı"));
        QCOMPARE(page.rows.text(2, ColUserName), QStringLiteral("Dokuz"));
        QCOMPARE(page.state.loadedUsers.front()->UserName, QStringLiteral("Terminal 42"));
        QVERIFY(page.prompt.texts().isEmpty());
    }

    // A database that cannot be reached ends the operation with its own error: no file, and
    // the terminal is set idle again. A Port that is no number is only warned about.
    void databaseErrors_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("wrong password") << "Password"
                                        << "yanlış" << QStringList();
        QTest::newRow("port no number") << "Port"
                                        << "33o6" << QStringList({"Veritabanına bağlanamadı...."});
    }
    void databaseErrors() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QStringList, warnings);
        QTemporaryDir dir;
        db_.writeSettingsIni(dir.path());
        IniFile settings(dir.filePath("Settings.ini"));
        QVERIFY(settings.load());
        settings.setValue("MySql", key, value);
        QVERIFY(settings.save());
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        Page page;
        const QString backup = dir.filePath("allenroll.fpt");
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            page.transfer(session, true).receiveAll(backup, dir.filePath("Settings.ini")));
        QCOMPARE(page.prompt.texts(ScriptedPrompt::Kind::Warning), warnings);
        QVERIFY(page.prompt.texts(ScriptedPrompt::Kind::Message).isEmpty());
        QCOMPARE(page.rows.rowCount(), 0);
        QVERIFY(!QFile::exists(backup));
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPdksNames)
#include "test_pdks_names.moc"
