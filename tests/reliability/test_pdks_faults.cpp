// cardpush against a real PDKS server made hostile: search texts and stored values built to
// change a statement's meaning, a wrong database password, and a server that stops mid-run.

#include "campaign.h"
#include "pdks_test_db.h"
#include "personnel_query.h"
#include "scripted_prompt.h"
#include "tfrmdmmysql.h"

#include <QProcess>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The texts in which the secret shows: as it is, or as the hex of its UTF-8 bytes.
QStringList leaks(const QStringList& texts, const QString& secret) {
    QStringList found;
    for (const QString& text : texts) {
        if (text.contains(secret) ||
            text.toLower().contains(QString::fromLatin1(secret.toUtf8().toHex())))
            found << text;
    }
    return found;
}

QString serverScript() {
    return qEnvironmentVariable("SELVANO_SOURCE_DIR") +
           QStringLiteral("/scripts/mariadb-test-server.sh");
}

} // namespace

class TestPdksFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QString error;
        server_ = PdksTestDb::fromFixture(&error);
        QVERIFY2(server_.isValid(), qPrintable(error));
        db_ = server_.freshDatabase(QStringLiteral("pdks_hostile"));
        // People whose stored values are themselves hostile: each must be found by its own
        // text and by nothing wider.
        db_.client(QStringLiteral("insert into personel (kartno, kartid, ad, soyad, durum) values "
                                  "('90001', '1', 'x'' or ''1''=''1', 'A', 'Aktif'),"
                                  "('90002', '2', 'back\\\\slash', 'B', 'Aktif'),"
                                  "('90003', '3', '50%_indirim', 'C', 'Aktif'),"
                                  "('90004', '4', 'a;drop table personel;--', 'D', 'Aktif'),"
                                  "('90005', '5', '\\\\'' union select 1 --', 'E', 'Aktif');"));
        people_ = db_.client(QStringLiteral("select count(*) from personel")).trimmed().toInt();
        QVERIFY(people_ > 5);
    }
    void cleanupTestCase() { campaign::report(); }

    // Each text either finds exactly the people whose name holds it, or nothing; the table
    // and its row count stay; no statement but the one select runs.
    void hostileSearchText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("kartnos");
        QTest::newRow("quote or 1=1") << "x' or '1'='1" << QStringList{"90001"};
        QTest::newRow("closing quote and comment") << "' or 1=1 -- " << QStringList{};
        QTest::newRow("backslash") << "back\\slash" << QStringList{"90002"};
        QTest::newRow("backslash before quote") << "\\' union select 1 --" << QStringList{"90005"};
        QTest::newRow("trailing backslash") << "slash\\" << QStringList{};
        QTest::newRow("semicolon and drop") << "a;drop table personel;--" << QStringList{"90004"};
        QTest::newRow("second statement") << "'; delete from personel; select '" << QStringList{};
        QTest::newRow("union") << "' union select * from terminaller -- " << QStringList{};
        QTest::newRow("percent stays a wildcard") << "50%indirim" << QStringList{"90003"};
        QTest::newRow("underscore stays a wildcard") << "50%_ind" << QStringList{"90003"};
        QTest::newRow("sleep") << "' or sleep(5) or '" << QStringList{};
        QTest::newRow("NUL byte") << QStringLiteral("a") + QChar(0) + QStringLiteral("b")
                                  << QStringList{};
    }
    void hostileSearchText() {
        QFETCH(QString, text);
        QFETCH(QStringList, kartnos);
        TfrmDMMYSQL dm;
        ScriptedPrompt prompt;
        QTemporaryDir dir;
        db_.writeSettingsIni(dir.path());
        QVERIFY(ConnectDatabase(dm, dir.filePath(QStringLiteral("Settings.ini")), prompt));
        PersonnelFilter filter;
        filter.status = PersonnelStatus::All;
        filter.searchColumn = SearchColumn::Ad;
        filter.searchText = text;
        const std::optional<int> rows = LoadPersonnel(dm, filter, prompt);
        QVERIFY2(rows, qPrintable(prompt.texts().join(QLatin1Char('\n'))));
        QStringList found;
        for (int i = 0; i < *rows; ++i)
            found << dm.qryper.record(i).value(QStringLiteral("kartno")).toString();
        QCOMPARE(found, kartnos);
        QCOMPARE(db_.client(QStringLiteral("select count(*) from personel")).trimmed().toInt(),
                 people_);
        campaign::count(QStringLiteral("hostile search text (quotes, backslash, %, _, ;, SQL)"),
                        QStringLiteral("the matching people only; no other statement"));
    }

    // cardpush connecting with a wrong database password: the warning, the caption and the
    // database's text name no password.
    void databasePasswordNotShown() {
        const QString secret = QStringLiteral("Yanlış'Parola;4711");
        PdksTestDb wrong = server_;
        wrong.password = secret;
        QTemporaryDir dir;
        wrong.writeSettingsIni(dir.path());
        TfrmDMMYSQL dm;
        ScriptedPrompt prompt;
        const std::optional<QString> caption =
            ConnectDatabase(dm, dir.filePath(QStringLiteral("Settings.ini")), prompt);
        QVERIFY(!dm.MyConnection1.isOpen());
        QVERIFY(!LoadPersonnel(dm, PersonnelFilter(), prompt));
        QStringList shown = prompt.texts();
        shown << caption.value_or(QString()) << dm.errorText(dm.MyConnection1.lastError());
        QCOMPARE(leaks(shown, secret), QStringList());
        campaign::count(QStringLiteral("wrong database password (looked for in every message)"),
                        prompt.texts().join(QStringLiteral(" / ")));
    }

    // The server stops after the personnel list was read and before the chosen terminals are:
    // the error is shown and the run does not start; queries after it fail the same way.
    void serverStopsDuringRun() {
        QTemporaryDir serverDir;
        QProcess start;
        start.start(QStringLiteral("bash"), {serverScript(), "start", serverDir.path()});
        QVERIFY(start.waitForFinished(120000));
        QVERIFY2(start.exitCode() == 0, start.readAllStandardError().constData());
        qputenv("SELVANO_PDKS_SERVER_DIR", serverDir.path().toUtf8());
        QString error;
        const PdksTestDb own = PdksTestDb::fromFixture(&error);
        qunsetenv("SELVANO_PDKS_SERVER_DIR");
        QVERIFY2(own.isValid(), qPrintable(error));
        QTemporaryDir dir;
        own.writeSettingsIni(dir.path());
        TfrmDMMYSQL dm;
        ScriptedPrompt prompt;
        QVERIFY(ConnectDatabase(dm, dir.filePath(QStringLiteral("Settings.ini")), prompt));
        QVERIFY(LoadPersonnel(dm, PersonnelFilter(), prompt));
        QProcess stop;
        stop.start(QStringLiteral("bash"), {serverScript(), "stop", serverDir.path()});
        QVERIFY(stop.waitForFinished(60000));
        QVERIFY(!LoadChosenTerminals(dm, prompt));
        QVERIFY(!LoadPersonnel(dm, PersonnelFilter(), prompt));
        const QStringList errors = prompt.texts(ScriptedPrompt::Kind::Error);
        QCOMPARE(errors.size(), 2);
        for (const QString& text : errors)
            QVERIFY2(!text.trimmed().isEmpty(), "the failure says why");
        campaign::count(QStringLiteral("PDKS server stopped during a cardpush run"),
                        errors.first() + QStringLiteral(" (error box; the run does not start)"));
    }

private:
    PdksTestDb server_;
    PdksTestDb db_;
    int people_ = 0;
};

QTEST_GUILESS_MAIN(TestPdksFaults)
#include "test_pdks_faults.moc"
