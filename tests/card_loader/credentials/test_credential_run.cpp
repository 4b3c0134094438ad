// "Cihaza Yükle" and "Cihazdan Sil" runs over the PDKS database and both emulated terminal
// families.

#include "credential_run.h"
#include "emulator_process.h"
#include "pdks_test_db.h"
#include "scripted_prompt.h"
#include "tfrmdmmysql.h"
#include "tfrmgiris.h"

#include <QDir>
#include <QJsonArray>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Op { Upload, Remove };

// Person rows as "kartno|ad|soyad|kartid|webadres".
using Persons = QStringList;
// Terminal letters: N SelvanoNorvi, S SelvanoR, B Brennsoft, D and E unreachable SelvanoNorvi
// and SelvanoR.
using Terminals = QStringList;

QString sqlText(const QString& v) {
    return QLatin1Char('\'') + QString(v).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

QJsonObject credential(int enroll, int backup, int value) {
    return {{"enroll_number", enroll}, {"backup_number", backup}, {"value", value}};
}

// Person 12 is known to both terminals with card 555 and password 210 (value 0x213 there).
QJsonObject norviState() {
    QJsonObject s = EmulatorProcess::defaultState();
    s["users"] = QJsonArray{QJsonObject{{"enroll_number", "12"}, {"name", "Ali"}}};
    s["credentials"] = QJsonArray{credential(12, 11, 555), credential(12, 15, 0x213)};
    return s;
}

QJsonObject sdkState() {
    QJsonObject s = EmulatorProcess::defaultState();
    s["users"] = QJsonArray{QJsonObject{
        {"enroll_number", "12"}, {"name", "Ali"}, {"card", "555"}, {"password", "210"}}};
    return s;
}

QSet<QString> norviCredentials(const QJsonObject& state) {
    QSet<QString> out;
    for (const QJsonValue v : state["credentials"].toArray())
        out.insert(QStringLiteral("%1/%2=%3")
                       .arg(v["enroll_number"].toInt())
                       .arg(v["backup_number"].toInt())
                       .arg(v["value"].toInt()));
    return out;
}

// enroll number -> "card/password"
QMap<QString, QString> sdkCredentials(const QJsonObject& state) {
    QMap<QString, QString> out;
    for (const QJsonValue v : state["users"].toArray())
        out[v["enroll_number"].toString()] =
            v["card"].toString() + QLatin1Char('/') + v["password"].toString();
    return out;
}

// The connection time in a label varies; the rest of the line is compared exactly.
QStringList withoutStamps(QStringList lines) {
    static const QRegularExpression stamp(
        QStringLiteral(" Terminale bağlandı\\..+(?= yazma moduna geçemedi\\.$)"));
    for (QString& line : lines)
        line.replace(stamp, QStringLiteral(" Terminale bağlandı.<stamp>"));
    return lines;
}

} // namespace

class TestCredentialRun : public QObject {
    Q_OBJECT

    PdksTestDb db_;
    QTemporaryDir folder_;
    std::unique_ptr<TfrmDMMYSQL> dm_;
    std::unique_ptr<EmulatorProcess> norvi_;
    std::unique_ptr<EmulatorProcess> sdk_;
    quint16 deadPort_ = 0;

    ScriptedPrompt prompt_{QStringLiteral("cardpush")};
    LineCollector memo_;
    TSBXPC control_;
    std::unique_ptr<TZd2911DeviceConnection> sdkConnection_;
    std::vector<qint32> enrollData_ = std::vector<qint32>(355, 0);
    CredentialDevices devices_{control_, sdkConnection_, enrollData_};

    void prepare(const Terminals& terminals, const Persons& persons) {
        QStringList sql{QStringLiteral("delete from terminaller; delete from personel;")};
        int code = 0;
        for (const QString& letter : terminals) {
            static const QMap<QString, QPair<QString, QString>> kinds{
                {"N", {"Norvi", "SelvanoNorvi"}},
                {"S", {"Selvano", "SelvanoR"}},
                {"B", {"Brenn", "Brennsoft"}},
                {"D", {"Kapalı", "SelvanoNorvi"}},
                {"E", {"Kapalı", "SelvanoR"}}};
            const quint16 port = letter == "N"   ? norvi_->port()
                                 : letter == "S" ? sdk_->port()
                                                 : deadPort_;
            // Blanks around the values, as typed into the terminal editor.
            sql << QStringLiteral("insert into terminaller (kod, ad, Source, Baudrate_Remote_Port, "
                                  "Device_Num, CommPassword, cihaztipi, secim) values "
                                  "(%1, %2, ' 127.0.0.1 ', '%3 ', ' 1', '0', %4, 1);")
                       .arg(sqlText(QString::number(++code)), sqlText(kinds[letter].first))
                       .arg(port)
                       .arg(sqlText(kinds[letter].second));
        }
        sql << QStringLiteral("insert into terminaller (kod, ad, Source, cihaztipi, secim) values "
                              "('99', 'Secilmemis', '127.0.0.1', 'SelvanoNorvi', 0);");
        for (const QString& person : persons) {
            const QStringList f = person.split(QLatin1Char('|'));
            sql << QStringLiteral("insert into personel (kartno, ad, soyad, kartid, webadres, "
                                  "durum) values (%1, %2, %3, %4, %5, 'Aktif');")
                       .arg(sqlText(f[0]), sqlText(f[1]), sqlText(f[2]), sqlText(f[3]),
                            sqlText(f[4]));
        }
        db_.client(sql.join(QLatin1Char('\n')));
    }

    struct CommandResult {
        int exitCode = -1;
        QStringList lines;
        QString errors;
    };
    // cardpush with the test's Settings.ini folder.
    CommandResult cardpush(QStringList arguments) {
        QProcess p;
        arguments << "--folder" << folder_.path();
        p.start(qEnvironmentVariable("SELVANO_BIN_DIR") + "/cardpush", arguments);
        if (!p.waitForFinished(60000))
            qFatal("cardpush did not finish");
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        return {p.exitCode(), out.split('\n', Qt::SkipEmptyParts),
                QString::fromUtf8(p.readAllStandardError())};
    }

    RunOutcome run(Op op, CredentialKind kind, PersonScope scope, int currentRow = 0) {
        PersonnelFilter all;
        all.status = PersonnelStatus::All;
        if (!LoadPersonnel(*dm_, all, prompt_) || !LoadChosenTerminals(*dm_, prompt_))
            qFatal("the PDKS queries failed");
        CredentialRequest request;
        request.terminals = chosenTerminals(dm_->qrycihaz);
        request.persons = credentialPersons(dm_->qryper, scope, currentRow);
        request.scope = scope;
        request.kind = kind;
        NullProgress progress;
        memo_.addLine(QStringLiteral("an earlier run's line"));
        return op == Op::Upload ? uploadCredentials(request, devices_, prompt_, memo_, progress)
                                : removeCredentials(request, devices_, prompt_, memo_, progress);
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        const PdksTestDb server = PdksTestDb::fromFixture(&error);
        QVERIFY2(server.isValid(), qPrintable(error));
        db_ = server.freshDatabase(QStringLiteral("pdks_credentials"), false);
        db_.writeSettingsIni(folder_.path());
        dm_ = std::make_unique<TfrmDMMYSQL>();
        QVERIFY(ConnectDatabase(*dm_, QDir(folder_.path()).filePath("Settings.ini"), prompt_));
        QVERIFY(dm_->MyConnection1.isOpen());
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        deadPort_ = probe.serverPort();
        devices_.timeoutMs = 3000;
    }

    void init() {
        prompt_.clear();
        memo_.clear();
        norvi_ = std::make_unique<EmulatorProcess>();
        EmulatorOptions control;
        control.family = QStringLiteral("control");
        const QString test = QString::fromLatin1(QTest::currentTestFunction());
        if (test == QLatin1String("writeModeRefusedInListedRun"))
            control.arguments = QStringList{"--refuse", "set_enabled:0"};
        QVERIFY2(norvi_->start(norviState(), control), qPrintable(norvi_->errorText()));
        sdk_ = std::make_unique<EmulatorProcess>();
        EmulatorOptions sdk;
        if (test == QLatin1String("sdkLinkLostStopsTheRun"))
            sdk.arguments = QStringList{"--close-after", "0", "--close-on", "set_user_data"};
        QVERIFY2(sdk_->start(sdkState(), sdk), qPrintable(sdk_->errorText()));
    }

    void cleanup() {
        norvi_.reset();
        sdk_.reset();
    }

    void logLines_data() {
        QTest::addColumn<Terminals>("terminals");
        QTest::addColumn<Persons>("persons");
        QTest::addColumn<int>("op");
        QTest::addColumn<PersonScope>("scope");
        QTest::addColumn<QStringList>("lines");
        const auto upload = int(Op::Upload), remove = int(Op::Remove);
        const auto one = PersonScope::SelectedPerson, all = PersonScope::Listed;
        const QString ali = QStringLiteral("0012|Ali|Kaya|555|"), ip = " 127.0.0.1";
        const QString noLink = QStringLiteral(" Kapalı (127.0.0.1)  HATA!!!..Terminal Bağlantısı "
                                              "Kurulamadı....");

        QTest::newRow("no chosen terminal")
            << Terminals{} << Persons{ali} << upload << one << QStringList{};
        QTest::newRow("Brennsoft gets nothing")
            << Terminals{"B"} << Persons{ali} << upload << all << QStringList{};
        QTest::newRow("Brennsoft, empty card") << Terminals{"B"} << Persons{"0012|Ali|Kaya||"}
                                               << upload << one << QStringList{" kart/sifre boş."};
        QTest::newRow("Brennsoft removal")
            << Terminals{"B"} << Persons{ali} << remove << all << QStringList{};
        QTest::newRow("empty personnel list")
            << Terminals{"N", "S"} << Persons{} << upload << one
            << QStringList{" kart/sifre boş.", " kart/sifre boş."};
        QTest::newRow("unreachable SelvanoNorvi")
            << Terminals{"D"} << Persons{ali} << upload << one
            << QStringList{noLink, "0012 Ali Kaya" + ip + " error"};
        QTest::newRow("unreachable SelvanoNorvi, removal")
            << Terminals{"D"} << Persons{ali} << remove << one
            << QStringList{noLink, " Kapalı (127.0.0.1)  yazma moduna geçemedi.",
                           "--> 0012 Ali Kaya (Error code:20)"};
        QTest::newRow("unreachable SelvanoNorvi, listed removal")
            << Terminals{"D"} << Persons{ali} << remove << all
            << QStringList{noLink, "--> 0012 Ali Kaya (Error code:20)"};
        QTest::newRow("unreachable SelvanoR")
            << Terminals{"E"} << Persons{ali} << upload << all
            << QStringList{noLink, "0012 Ali Kaya" + ip + " set card: Fail"};
        QTest::newRow("unreachable SelvanoR, removal")
            << Terminals{"E"} << Persons{ali} << remove << one
            << QStringList{noLink, "0012 Ali Kaya" + ip + " hata silinemdi!!"};
        QTest::newRow("listed upload, both families")
            << Terminals{"N", "S"} << Persons{ali, "0013|Veli|Şahin|666|", "0014|Ayşe|Öztürk||"}
            << upload << all << QStringList{"0012 Ali Kaya" + ip + " ok",
                                            "0013 Veli Şahin" + ip + " ok",
                                            " kart/sifre boş.",
                                            "0012 Ali Kaya" + ip + " ok",
                                            "0013 Veli Şahin" + ip + " ok",
                                            " kart/sifre boş."};
        QTest::newRow("selected person is the current row")
            << Terminals{"S", "N"} << Persons{"0011|Can|Er||", ali} << upload << one
            << QStringList{" kart/sifre boş.", " kart/sifre boş."};
        QTest::newRow("removal with an empty kartid")
            << Terminals{"N", "S"} << Persons{"0012|Ali|Kaya||"} << remove << one
            << QStringList{"0012 Ali Kaya CİHAZDAN SİLİNDİ", "0012 Ali Kaya" + ip + " silindi"};
        QTest::newRow("listed removal, one not held")
            << Terminals{"N", "S"} << Persons{ali, "0099|Can|Er|1|"} << remove << all
            << QStringList{"0012 Ali Kaya CİHAZDAN SİLİNDİ", "--> 0099 Can Er (Error code:3)",
                           "0012 Ali Kaya" + ip + " silindi",
                           "0099 Can Er" + ip + " hata silinemdi!!"};
    }
    void logLines() {
        QFETCH(Terminals, terminals);
        QFETCH(Persons, persons);
        QFETCH(int, op);
        QFETCH(PersonScope, scope);
        QFETCH(QStringList, lines);
        prepare(terminals, persons);
        QCOMPARE(run(Op(op), CredentialKind::Card, scope), RunOutcome::Finished);
        QCOMPARE(memo_.lines(), lines);
        QCOMPARE(prompt_.entries().size(), 0);
        // Every terminal is back in normal operation.
        QCOMPARE(norvi_->state()["write_mode"].toBool(), false);
    }

    void uploadStoresWithoutLeadingZeros() {
        prepare({"N", "S"}, {"0012|Ali|Kaya|777|", "00013|Veli|Şahin|2147483647|"});
        QCOMPARE(run(Op::Upload, CredentialKind::Card, PersonScope::Listed), RunOutcome::Finished);
        QCOMPARE(norviCredentials(norvi_->state()),
                 (QSet<QString>{"12/11=777", "12/15=531", "13/11=2147483647"}));
        QCOMPARE(sdkCredentials(sdk_->state()),
                 (QMap<QString, QString>{{"12", "777/210"}, {"13", "2147483647/"}}));
        QCOMPARE(memo_.lines().at(0), QStringLiteral("00013 Veli Şahin 127.0.0.1 ok"));
    }

    void sevenDigitPassword() {
        prepare({"N", "S"}, {"0012|Ali|Kaya|555|1234567"});
        QCOMPARE(run(Op::Upload, CredentialKind::Password, PersonScope::SelectedPerson),
                 RunOutcome::Finished);
        QCOMPARE(memo_.lines(),
                 (QStringList{"0012 Ali Kaya 127.0.0.1 ok", "0012 Ali Kaya 127.0.0.1 ok"}));
        // Six digits on the control family, digit d kept as d + 1; the whole text on the SDK's.
        QCOMPARE(norviCredentials(norvi_->state()),
                 (QSet<QString>{"12/11=555", QStringLiteral("12/15=%1").arg(0x765432)}));
        QCOMPARE(sdkCredentials(sdk_->state()), (QMap<QString, QString>{{"12", "555/1234567"}}));
    }

    void passwordRemovalKeepsTheCard() {
        prepare({"N", "S"}, {"0012|Ali|Kaya|555|"});
        QCOMPARE(run(Op::Remove, CredentialKind::Password, PersonScope::SelectedPerson),
                 RunOutcome::Finished);
        QCOMPARE(memo_.lines(), (QStringList{"0012 Ali Kaya CİHAZDAN SİLİNDİ",
                                             "0012 Ali Kaya 127.0.0.1 silindi"}));
        QCOMPARE(norviCredentials(norvi_->state()), (QSet<QString>{"12/11=555"}));
        QCOMPARE(sdkCredentials(sdk_->state()), (QMap<QString, QString>{{"12", "555/"}}));
    }

    void conversionErrorStopsTheRun_data() {
        QTest::addColumn<Persons>("persons");
        QTest::addColumn<int>("op");
        QTest::addColumn<CredentialKind>("kind");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("logged");
        QTest::newRow("card above 2147483647")
            << Persons{"0012|Ali|Kaya|555|", "0013|Veli|Şahin|3000000000|"} << int(Op::Upload)
            << CredentialKind::Card << "'3000000000' is not a valid integer value" << 1;
        QTest::newRow("card of blanks")
            << Persons{"0012|Ali|Kaya|555|", "0013|Veli|Şahin|  |"} << int(Op::Upload)
            << CredentialKind::Card << "'  ' is not a valid integer value" << 1;
        QTest::newRow("password with a letter")
            << Persons{"0012|Ali|Kaya|555|12", "0013|Veli|Şahin|1|12a4"} << int(Op::Upload)
            << CredentialKind::Password << "'12a4' is not a valid integer value" << 1;
        QTest::newRow("negative password")
            << Persons{"0012|Ali|Kaya|555|12", "0013|Veli|Şahin|1|-1234"} << int(Op::Upload)
            << CredentialKind::Password << "'-1234' is not a valid password value" << 1;
        QTest::newRow("empty kartno on removal")
            << Persons{"0012|Ali|Kaya||", "|Veli|Şahin|1|"} << int(Op::Remove)
            << CredentialKind::Card << "'' is not a valid integer value" << 0;
    }
    // The error names the text; the lines so far stay; the SelvanoNorvi terminal in hand is
    // switched back to normal operation and the terminal after it is not reached.
    void conversionErrorStopsTheRun() {
        QFETCH(Persons, persons);
        QFETCH(int, op);
        QFETCH(CredentialKind, kind);
        QFETCH(QString, error);
        QFETCH(int, logged);
        prepare({"N", "S"}, persons);
        const QJsonObject sdkBefore = sdk_->state();
        QCOMPARE(run(Op(op), kind, PersonScope::Listed), RunOutcome::Stopped);
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Error), QStringList{error});
        QCOMPARE(memo_.lines().size(), logged);
        QCOMPARE(norvi_->state()["write_mode"].toBool(true), false);
        QCOMPARE(sdk_->state()["users"], sdkBefore["users"]);
    }

    void sdkTakesCardsAboveTheControlRange() {
        prepare({"S"}, {"0013|Veli|Şahin| 3000000000 |"});
        QCOMPARE(run(Op::Upload, CredentialKind::Card, PersonScope::SelectedPerson),
                 RunOutcome::Finished);
        QCOMPARE(memo_.lines(), QStringList{"0013 Veli Şahin 127.0.0.1 ok"});
        QCOMPARE(sdkCredentials(sdk_->state())["13"], QStringLiteral("3000000000/"));
    }

    void terminalValueNotANumberStops_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("terminalType");
        QTest::newRow("machine number, any type") << "Device_Num"
                                                  << "Brennsoft";
        QTest::newRow("port") << "Baudrate_Remote_Port"
                              << "SelvanoR";
        QTest::newRow("communication password") << "CommPassword"
                                                << "SelvanoNorvi";
    }
    void terminalValueNotANumberStops() {
        QFETCH(QString, column);
        QFETCH(QString, terminalType);
        prepare({"N"}, {"0012|Ali|Kaya|555|"});
        db_.client(QStringLiteral("update terminaller set %1='x1', cihaztipi='%2' where secim=1")
                       .arg(column, terminalType));
        QCOMPARE(run(Op::Upload, CredentialKind::Card, PersonScope::SelectedPerson),
                 RunOutcome::Stopped);
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Error),
                 QStringList{"'x1' is not a valid integer value"});
        QCOMPARE(memo_.lines(), QStringList{});
    }

    // A broken link is an error of the terminal SDK itself, not a refusal: the run stops.
    void sdkLinkLostStopsTheRun() {
        prepare({"S", "N"}, {"0012|Ali|Kaya|777|"});
        QCOMPARE(run(Op::Upload, CredentialKind::Card, PersonScope::Listed), RunOutcome::Stopped);
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Error).size(), 1);
        QCOMPARE(memo_.lines(), QStringList{});
        QCOMPARE(norviCredentials(norvi_->state()), norviCredentials(norviState()));
    }

    void writeModeRefusedInListedRun() {
        prepare({"N"}, {"0012|Ali|Kaya|555|"});
        QCOMPARE(run(Op::Upload, CredentialKind::Card, PersonScope::Listed), RunOutcome::Finished);
        QCOMPARE(
            withoutStamps(memo_.lines()),
            (QStringList{" Norvi (127.0.0.1)  Terminale bağlandı.<stamp> yazma moduna geçemedi.",
                         "0012 Ali Kaya 127.0.0.1 error"}));
    }

    void commandUsesTheFilters_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("stored");
        QTest::newRow("active people, cards")
            << QStringList{"upload"}
            << QStringList{"0012 Ali Kaya 127.0.0.1 ok", "0014 Ayşe Öztürk 127.0.0.1 ok"}
            << "12/11=777 12/15=531 14/11=888";
        QTest::newRow("one person, any status")
            << QStringList{"upload", "--person", "0013", "--status", "tumu", "--kind", "sifre"}
            << QStringList{"0013 Veli Şahin 127.0.0.1 ok"}
            << QStringLiteral("12/11=555 12/15=531 13/15=%1").arg(0x234);
        QTest::newRow("search by name, removal")
            << QStringList{"remove", "--search-in", "ad", "--search", "Ali", "--kind", "sifre"}
            << QStringList{"0012 Ali Kaya CİHAZDAN SİLİNDİ"} << "12/11=555";
        QTest::newRow("passive people by group")
            << QStringList{"upload", "--status", "pasif", "--grup", "2"}
            << QStringList{"0013 Veli Şahin 127.0.0.1 ok"} << "12/11=555 12/15=531 13/11=666";
    }
    void commandUsesTheFilters() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        QFETCH(QString, stored);
        prepare({"N"}, {"0012|Ali|Kaya|777|", "0013|Veli|Şahin|666|321", "0014|Ayşe|Öztürk|888|"});
        db_.client("update personel set durum='Pasif', grupid=2 where kartno='0013';");
        const CommandResult r = cardpush(arguments);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines, lines);
        const QStringList expected = stored.split(' ');
        QCOMPARE(norviCredentials(norvi_->state()),
                 QSet<QString>(expected.begin(), expected.end()));
    }

    void commandStopsOnError() {
        prepare({"N", "S"}, {"0012|Ali|Kaya|777|", "0013|Veli|Şahin|3000000000|"});
        const CommandResult r = cardpush({"upload", "--status", "tumu"});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.lines, QStringList{"0012 Ali Kaya 127.0.0.1 ok"});
        QVERIFY2(r.errors.contains("'3000000000' is not a valid integer value"),
                 qPrintable(r.errors));
        QCOMPARE(norvi_->state()["write_mode"].toBool(true), false);
    }

    void commandRefusesBadArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("kind") << QStringList{"upload", "--kind", "kartlar"} << "--kind";
        QTest::newRow("status") << QStringList{"remove", "--status", "hepsi"} << "--status";
        QTest::newRow("search column")
            << QStringList{"upload", "--search-in", "soyad"} << "--search-in";
        QTest::newRow("id not a number")
            << QStringList{"upload", "--firma", "1 or 1=1"} << "--firma";
        QTest::newRow("unknown option") << QStringList{"upload", "--all"} << "all";
        QTest::newRow("person not listed") << QStringList{"upload", "--person", "0013"}
                                           << "'0013' kart numaralı personel listede yok";
    }
    void commandRefusesBadArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        prepare({"N"}, {"0012|Ali|Kaya|777|", "0013|Veli|Şahin|666|"});
        db_.client("update personel set durum='Pasif' where kartno='0013';");
        const CommandResult r = cardpush(arguments);
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.lines, QStringList{});
        QVERIFY2(r.errors.contains(error), qPrintable(r.errors));
        QCOMPARE(norviCredentials(norvi_->state()), norviCredentials(norviState()));
    }

    // The window's buttons run the same operations: the listed run walks the grid to its last
    // row, the upload loads the chosen terminals again first and the removal does not.
    void windowButtons() {
        prepare({"N"}, {"0012|Ali|Kaya|777|", "0013|Veli|Şahin|666|"});
        cardpush::Tfrmgiris w(*dm_, folder_.path() + "/", &prompt_);
        w.show();
        w.RadioButton2->setChecked(true);
        db_.client("update terminaller set secim=1 where kod='99';"
                   "update terminaller set Source='127.0.0.1', Baudrate_Remote_Port='" +
                   QString::number(sdk_->port()) +
                   "', Device_Num='1', CommPassword='0', "
                   "cihaztipi='SelvanoR' where kod='99';");
        w.BitBtn1->click();
        QVERIFY(!w.BitBtn1->isEnabled());
        QVERIFY(!w.BitBtn2->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(w.BitBtn1->isEnabled() && w.BitBtn2->isEnabled(), 20000);
        QTRY_COMPARE(w.Memo5->toPlainText().split('\n'),
                     (QStringList{"0012 Ali Kaya 127.0.0.1 ok", "0013 Veli Şahin 127.0.0.1 ok",
                                  "0012 Ali Kaya 127.0.0.1 ok", "0013 Veli Şahin 127.0.0.1 ok"}));
        QCOMPARE(w.DBGrid2->currentIndex().row(), 1);
        QCOMPARE(sdkCredentials(sdk_->state())["13"], QStringLiteral("666/"));

        // Removal of the selected person's password over the terminals as last loaded.
        db_.client("update terminaller set secim=0 where kod='99';");
        w.RadioButton1->setChecked(true);
        w.RadioButton10->setChecked(true);
        w.DBGrid2->selectRow(0);
        w.BitBtn2->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.BitBtn1->isEnabled() && w.BitBtn2->isEnabled(), 20000);
        QTRY_COMPARE(
            w.Memo5->toPlainText().split('\n'),
            (QStringList{"0012 Ali Kaya CİHAZDAN SİLİNDİ", "0012 Ali Kaya 127.0.0.1 silindi"}));
        QCOMPARE(prompt_.entries().size(), 0);
    }
};

QTEST_MAIN(TestCredentialRun)
#include "test_credential_run.moc"
