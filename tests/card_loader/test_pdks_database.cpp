// The data module against a real latin5 PDKS database: connection settings, look-up lists,
// the personnel list, NextCode and the terminal table.

#include "ini_file.h"
#include "pdks_test_db.h"
#include "scripted_prompt.h"
#include "terminal_definitions.h"
#include "tfrmdmmysql.h"

#include <QSqlRecord>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using Kind = ScriptedPrompt::Kind;

class TestPdksDatabase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void captionSuffix_data();
    void captionSuffix();
    void portNotANumber();
    void silentServerIsGivenUpOn();
    void warnsOnceHoweverManyQueriesFail();
    void lookupListsInTurkishOrder();
    void personnel_data();
    void personnel();
    void personWithoutGroupIsListed();
    void nextCode_data();
    void nextCode();
    void newTerminalRowsAndTurkishLettersBothWays();
    void choosingPostsAtOnce();
    void deletingAsks();

private:
    // A data module connected to db through a Settings.ini of its own.
    void connect(TfrmDMMYSQL& dm, const PdksTestDb& db, ScriptedPrompt& prompt);

    PdksTestDb server_;
    PdksTestDb seeded_;
    QTemporaryDir folder_;
};

void TestPdksDatabase::initTestCase() {
    QString error;
    server_ = PdksTestDb::fromFixture(&error);
    QVERIFY2(server_.isValid(), qPrintable(error));
    seeded_ = server_.freshDatabase("pdks_dbtest");
    QVERIFY(folder_.isValid());
}

void TestPdksDatabase::connect(TfrmDMMYSQL& dm, const PdksTestDb& db, ScriptedPrompt& prompt) {
    QTemporaryDir dir;
    db.writeSettingsIni(dir.path());
    const std::optional<QString> suffix = ConnectDatabase(dm, dir.filePath("Settings.ini"), prompt);
    QVERIFY(suffix);
    QVERIFY2(dm.MyConnection1.isOpen(), qPrintable(prompt.texts().join('\n')));
    QCOMPARE(*suffix, "      [Server=" + db.host + ",  Veritabanı=" + db.database + "]");
    QVERIFY(prompt.entries().isEmpty());
}

void TestPdksDatabase::captionSuffix_data() {
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("port");
    QTest::newRow("no Settings.ini") << QString() << "      [Server=,  Veritabanı=]" << 3306;
    QTest::newRow("server and database in the wrong section")
        << "[MySql]\r\nServer=127.0.0.1\r\nDatabase=pdks\r\nUser=pdks\r\nPort=1\r\n"
        << "      [Server=,  Veritabanı=]" << 1;
    QTest::newRow("unreachable server")
        << "[Login]\r\nServer=127.0.0.1\r\nDatabase=pdks\r\n[MySql]\r\nPort=1\r\n"
        << "      [Server=127.0.0.1,  Veritabanı=pdks]" << 1;
}

void TestPdksDatabase::captionSuffix() {
    QFETCH(QString, ini);
    QFETCH(QString, suffix);
    QFETCH(int, port);
    QTemporaryDir dir;
    const QString path = dir.filePath("Settings.ini");
    if (!ini.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ini.toUtf8());
    }
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    QCOMPARE(ConnectDatabase(dm, path, prompt), std::optional<QString>(suffix));
    QVERIFY(!dm.MyConnection1.isOpen());
    QCOMPARE(dm.MyConnection1.port(), port);
    QCOMPARE(prompt.texts(Kind::Warning), QStringList{"Veritabanına bağlanamadı...."});
    QCOMPARE(prompt.entries().size(), 1);
    QCOMPARE(prompt.entries().first().caption, "UYARI");
}

void TestPdksDatabase::portNotANumber() {
    QTemporaryDir dir;
    seeded_.writeSettingsIni(dir.path());
    IniFile ini(dir.filePath("Settings.ini"));
    QVERIFY(ini.load());
    ini.setValue("MySql", "Port", "33o6");
    QVERIFY(ini.save());

    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    QCOMPARE(ConnectDatabase(dm, dir.filePath("Settings.ini"), prompt), std::nullopt);
    QVERIFY(!dm.MyConnection1.isOpen());
    QCOMPARE(prompt.texts(Kind::Error), QStringList{"'33o6' is not a valid integer value"});
    QCOMPARE(prompt.entries().size(), 1);
}

void TestPdksDatabase::silentServerIsGivenUpOn() {
    // Takes the connection but never greets: without a connect time-out the start would hang.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    PdksTestDb unreachable = seeded_;
    unreachable.port = silent.serverPort();
    unreachable.writeSettingsIni(dir.path());
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    QVERIFY(ConnectDatabase(dm, dir.filePath("Settings.ini"), prompt));
    QVERIFY(!dm.MyConnection1.isOpen());
    QCOMPARE(prompt.texts(Kind::Warning), QStringList{"Veritabanına bağlanamadı...."});
}

void TestPdksDatabase::warnsOnceHoweverManyQueriesFail() {
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    QVERIFY(ConnectDatabase(dm, folder_.filePath("missing/Settings.ini"), prompt));
    const std::array<LookupList, 6> lists = LoadLookupLists(dm, prompt);
    for (const LookupList& list : lists)
        QCOMPARE(list.names, QStringList{QString()});
    for (int i = 0; i < 3; ++i)
        QCOMPARE(LoadPersonnel(dm, PersonnelFilter(), prompt), std::nullopt);
    QVERIFY(!LoadChosenTerminals(dm, prompt));
    QCOMPARE(prompt.texts(Kind::Warning).size(), 1);
    const QStringList errors = prompt.texts(Kind::Error);
    QCOMPARE(errors.size(), 5); // the look-ups stop at the first table
    for (const QString& error : errors)
        QVERIFY2(!error.trimmed().isEmpty(), "every failure says why");
}

void TestPdksDatabase::lookupListsInTurkishOrder() {
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, seeded_, prompt);
    const std::array<LookupList, 6> lists = LoadLookupLists(dm, prompt);
    QVERIFY(prompt.entries().isEmpty());
    QCOMPARE(lists[0].names, QStringList({"", "Güvenlik", "İdari Personel", "Şoförler", "Üretim"}));
    QCOMPARE(lists[0].ids, QStringList({"", "3", "1", "4", "2"}));
    QCOMPARE(lists[5].names,
             QStringList({"", "Çağ Metal San. ve Tic. A.Ş.", "Öz Ilgın Lojistik Ltd. Şti."}));
    for (const LookupList& list : lists)
        QCOMPARE(list.names.size(), list.ids.size());
}

void TestPdksDatabase::personnel_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("grupId"); // 0: none
    QTest::addColumn<QStringList>("kartnos");

    const int all = int(PersonnelStatus::All), active = int(PersonnelStatus::Active),
              passive = int(PersonnelStatus::Passive);
    const int kartno = int(SearchColumn::Kartno), ad = int(SearchColumn::Ad),
              kartid = int(SearchColumn::Kartid);
    QTest::newRow("passive") << passive << ad << "" << 0
                             << QStringList{"00017", "00021", "00103", "312"};
    QTest::newRow("kartno 12, everyone")
        << all << kartno << "12" << 0
        << QStringList{"00012", "01200", "01201", "01202", "12", "312"};
    QTest::newRow("kartno 12, active")
        << active << kartno << "12" << 0 << QStringList{"00012", "01200", "01201", "01202", "12"};
    QTest::newRow("Turkish letters, either case")
        << all << ad << "çağ" << 0 << QStringList{"00018"};
    QTest::newRow("dotted capital I") << all << ad << "ismail" << 0 << QStringList{"00012"};
    QTest::newRow("quote matches itself") << all << ad << "a'r" << 0 << QStringList{"01200"};
    QTest::newRow("lone quote") << all << ad << "'" << 0 << QStringList{"01200"};
    QTest::newRow("backslash matches nothing here") << all << ad << "\\" << 0 << QStringList{};
    QTest::newRow("card id") << all << kartid << "2147483" << 0 << QStringList{"01202"};
    QTest::newRow("underscore is any letter")
        << all << kartno << "1_02" << 0 << QStringList{"01202"};
    QTest::newRow("group Üretim, active")
        << active << ad << "" << 2 << QStringList{"00015", "00016", "00018", "00025", "01202"};
}

void TestPdksDatabase::personnel() {
    QFETCH(int, status);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(int, grupId);
    QFETCH(QStringList, kartnos);

    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, seeded_, prompt);
    PersonnelFilter filter;
    filter.status = PersonnelStatus(status);
    filter.searchColumn = SearchColumn(column);
    filter.searchText = text;
    if (grupId)
        filter.lookupIds[0] = grupId;
    const std::optional<int> count = LoadPersonnel(dm, filter, prompt);
    QVERIFY2(count, qPrintable(prompt.texts().join('\n')));
    QStringList found;
    for (int row = 0; row < dm.qryper.rowCount(); ++row)
        found << dm.qryper.record(row).value("kartno").toString();
    found.sort(); // the database orders by its collation; the set is what matters here
    kartnos.sort();
    QCOMPARE(found, kartnos);
    QCOMPARE(*count, kartnos.size());
}

void TestPdksDatabase::personWithoutGroupIsListed() {
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, seeded_, prompt);
    PersonnelFilter filter;
    filter.status = PersonnelStatus::All;
    QCOMPARE(LoadPersonnel(dm, filter, prompt), std::optional<int>(20));
    bool seen = false;
    for (int row = 0; row < dm.qryper.rowCount(); ++row) {
        const QSqlRecord r = dm.qryper.record(row);
        if (r.value("kartno") == "00020") {
            seen = true;
            QCOMPARE(r.value("isim").toString(), "Işıl Yıldırım");
            QVERIFY(r.isNull("grupad"));
            QVERIFY(r.isNull("bolumad"));
        }
        if (r.value("kartno") == "00012") {
            QCOMPARE(r.value("isim").toString(), "İsmail Şahin");
            QCOMPARE(r.value("grupad").toString(), "İdari Personel");
            QCOMPARE(r.value("webadres").toString(), "123456");
        }
    }
    QVERIFY(seen);
    QCOMPARE(dm.qryper.record(0).value("kartno").toString(), "00012");
}

void TestPdksDatabase::nextCode_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("next");
    QTest::newRow("empty table") << QStringList{} << "1";
    QTest::newRow("after 7") << QStringList{"3", "7"} << "8";
    QTest::newRow("after 09") << QStringList{"01", "09"} << "10";
    QTest::newRow("numbers, not text, after 99") << QStringList{"99", "100"} << "101";
}

void TestPdksDatabase::nextCode() {
    QFETCH(QStringList, codes);
    QFETCH(QString, next);
    const PdksTestDb db = server_.freshDatabase("pdks_nextcode", false);
    for (const QString& code : codes)
        db.client(QString("insert into terminaller (kod) values ('%1');").arg(code));
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, db, prompt);
    QCOMPARE(dm.NextCode("terminaller", "kod"), next);
}

void TestPdksDatabase::newTerminalRowsAndTurkishLettersBothWays() {
    const PdksTestDb db = server_.freshDatabase("pdks_newrows", false);
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, db, prompt);
    QVERIFY(OpenTerminalTable(dm, prompt));
    QSqlTableModel& table = dm.tblterminaller;

    QVERIFY(tblterminallerNewRecord(dm, 0, prompt));
    const QString name = "Güney Kapı Şğİı Çöü";
    QVERIFY(table.setData(table.index(0, table.fieldIndex("ad")), name));
    QVERIFY(PostTerminalRows(dm, prompt));
    QVERIFY(tblterminallerNewRecord(dm, table.rowCount(), prompt));
    QVERIFY(PostTerminalRows(dm, prompt));
    QVERIFY2(prompt.entries().isEmpty(), qPrintable(prompt.texts().join('\n')));

    // Stored as latin5 bytes (not double-encoded), with the defaults in every column.
    QCOMPARE(db.client("select kod, hex(ad), Baudrate_Remote_Port, Device_Num, CommPassword, "
                       "aktarimtipi, cihaztipi, modultipi, secim from terminaller order by kod;"),
             QByteArray("01\t47FC6E6579204B6170FD20DEF0DDFD20C7F6FC\t4370\t1\t0\tgenel\tBrennsoft"
                        "\tgc-2\t1\n"
                        "02\t\t4370\t1\t0\tgenel\tBrennsoft\tgc-2\t1\n"));
    // And read back intact.
    QVERIFY(OpenTerminalTable(dm, prompt));
    QCOMPARE(table.record(0).value("ad").toString(), name);

    db.client("update terminaller set kod='09' where kod='02';");
    QVERIFY(tblterminallerNewRecord(dm, table.rowCount(), prompt));
    QCOMPARE(table.record(table.rowCount() - 1).value("kod").toString(), "10");
}

void TestPdksDatabase::choosingPostsAtOnce() {
    const PdksTestDb db = server_.freshDatabase("pdks_choose");
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, db, prompt);
    QVERIFY(LoadChosenTerminals(dm, prompt));
    QCOMPARE(dm.qrycihaz.rowCount(), 2);
    QVERIFY(OpenTerminalTable(dm, prompt));
    QCOMPARE(terminalValuesFromRecord(dm.tblterminaller.record(2)).ad, "Çelik Hasır Deposu");
    QVERIFY(ToggleTerminalChoice(dm, 2, prompt));
    QVERIFY(ToggleTerminalChoice(dm, 0, prompt));
    QCOMPARE(db.client("select kod, secim from terminaller order by kod;"),
             QByteArray("01\t0\n02\t1\n03\t1\n"));
    QVERIFY(LoadChosenTerminals(dm, prompt));
    QCOMPARE(dm.qrycihaz.rowCount(), 2);
    QCOMPARE(dm.qrycihaz.record(0).value("ad").toString(), "Yemekhane Önü");
}

void TestPdksDatabase::deletingAsks() {
    const PdksTestDb db = server_.freshDatabase("pdks_delete");
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    connect(dm, db, prompt);
    QVERIFY(OpenTerminalTable(dm, prompt));

    prompt.answerConfirm(false);
    QVERIFY(!DeleteTerminalRow(dm, 1, prompt));
    QCOMPARE(prompt.texts(Kind::Confirm),
             QStringList{"\"Yemekhane Önü\" adlı Terminal Kaydını Silmek İstiyor musunuz...?"});
    QCOMPARE(db.client("select count(*) from terminaller;"), QByteArray("3\n"));

    prompt.answerConfirm(true);
    QVERIFY(DeleteTerminalRow(dm, 1, prompt));
    QCOMPARE(db.client("select kod from terminaller order by kod;"), QByteArray("01\n03\n"));

    db.client("delete from terminaller;");
    QVERIFY(OpenTerminalTable(dm, prompt));
    prompt.clear();
    QVERIFY(!DeleteTerminalRow(dm, 0, prompt));
    QVERIFY(prompt.entries().isEmpty());
}

QTEST_GUILESS_MAIN(TestPdksDatabase)
#include "test_pdks_database.moc"
