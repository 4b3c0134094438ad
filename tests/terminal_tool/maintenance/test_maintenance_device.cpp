// Clock, administrator cancel, fingerprint wipe and bells against the emulated terminal.
// A FrameTap between session and emulator names every request, so the status wrap and the
// number of table reads and writes are checked on the wire.
#include "admin_cancel.h"
#include "bell_schedule.h"
#include "clock.h"
#include "device_session.h"
#include "emulator_process.h"
#include "frame_tap.h"
#include "scripted_prompt.h"
#include "terminal_registry.h"
#include "text_formats.h"
#include "wipe.h"

#include <QJsonArray>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QJsonObject user(const QString& enrollNumber, int privilege) {
    return QJsonObject{{QStringLiteral("enroll_number"), enrollNumber},
                       {QStringLiteral("name"), QStringLiteral("Kişi ") + enrollNumber},
                       {QStringLiteral("privilege"), privilege}};
}

// Bells 1..24 at n:00, day n % 8, n seconds; bytes 4 to 7 of every record all different.
ByteVector sampleBells() {
    ByteVector table = NewByteVector(BellTableSize);
    for (int n = 0; n < BellCount; ++n) {
        const int at = n * BellRecordSize;
        PutByte(table, at, n);
        PutByte(table, at + 1, 0);
        PutByte(table, at + 2, n % 8);
        PutByte(table, at + 3, n + 1);
        for (int k = 4; k < 8; ++k)
            PutByte(table, at + k, 100 + n * 4 + k);
    }
    return table;
}

QString hexOf(const ByteVector& bytes) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()))
            .toHex());
}

ByteVector bytesOf(const QJsonValue& hex) {
    const QByteArray b = QByteArray::fromHex(hex.toString().toLatin1());
    return ByteVector(b.begin(), b.end());
}

QStringList enrollNumbers(const QJsonObject& state) {
    QStringList numbers;
    for (const QJsonValue v : state.value(QStringLiteral("users")).toArray())
        numbers << v.toObject().value(QStringLiteral("enroll_number")).toString();
    return numbers;
}

// One emulated terminal, the tap in front of it and an open session through the tap.
struct Terminal {
    EmulatorProcess emulator;
    std::unique_ptr<FrameTap> tap;
    DeviceSession session;

    bool start(const QJsonObject& state, const QStringList& faults = {}) {
        EmulatorOptions options;
        options.arguments = faults;
        if (!emulator.start(state, options)) {
            qWarning() << emulator.errorText();
            return false;
        }
        tap = std::make_unique<FrameTap>(emulator.port());
        TerminalRecord row;
        row.terminalNo = QStringLiteral("1");
        row.name = QStringLiteral("Merkez");
        row.tip = QStringLiteral("ethernet");
        row.ip = QStringLiteral("127.0.0.1");
        row.netPort = QString::number(tap->port());
        row.password = QStringLiteral("0");
        if (!session.OpenSession(row))
            return false;
        tap->clear(); // the log-in is not part of what a test checks
        return true;
    }
    QJsonObject state() const { return emulator.state(); }
};

QString question(int count, const QString& which) {
    return QStringLiteral("%1 yönetici kullanıcı (yetki 2 ve 8) terminalden tamamen silinecek "
                          "(sicil no: %2). Devam edilsin mi?")
        .arg(count)
        .arg(which);
}

QJsonObject stateWith(const QJsonArray& users, const ByteVector& bells = sampleBells()) {
    QJsonObject state = EmulatorProcess::defaultState();
    state.insert(QStringLiteral("users"), users);
    state.insert(QStringLiteral("bells"), hexOf(bells));
    return state;
}

} // namespace

class TestMaintenanceDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { processTextFormats() = TextFormats(); }

    void readClock_data() {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no leading zeros") << "2024-03-05 09:07:00"
                                          << "2024-3-5 9:7:0";
        QTest::newRow("end of year") << "2024-12-31 23:59:58"
                                     << "2024-12-31 23:59:58";
    }
    void readClock() {
        QFETCH(QString, clock);
        QFETCH(QString, shown);
        QJsonObject state = stateWith({});
        state.insert(QStringLiteral("clock"), clock);
        Terminal t;
        QVERIFY(t.start(state));
        ScriptedPrompt prompt;
        QVERIFY(readDeviceClock(t.session, prompt));
        QCOMPARE(prompt.texts(), QStringList{shown});
        QCOMPARE(t.tap->requests(), QStringList{"get 10"}); // no busy or idle status
    }

    void setClockTakesComputerTime() {
        Terminal t;
        QVERIFY(t.start(stateWith({})));
        ScriptedPrompt prompt;
        const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY(setDeviceClock(t.session, prompt));
        QCOMPARE(prompt.texts(), QStringList{"cihaz tarih saati ayarlandı.."});
        QCOMPARE(t.tap->requests(), QStringList{"set 10"});
        const QDateTime set =
            QDateTime::fromString(t.state().value(QStringLiteral("clock")).toString(),
                                  QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(set >= before && set <= QDateTime::currentDateTime().addSecs(2),
                 qPrintable(set.toString()));
    }

    void clockRefused_data() {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("shown");
        QTest::newRow("set") << true << "set_device_data:10"
                             << "HATA...tarih saat ayarlanamadı..";
        QTest::newRow("read") << false << "get_device_data:10"
                              << "Get the device time: Fail";
    }
    void clockRefused() {
        QFETCH(bool, set);
        QFETCH(QString, refused);
        QFETCH(QString, shown);
        Terminal t;
        QVERIFY(t.start(stateWith({}), {QStringLiteral("--refuse"), refused}));
        ScriptedPrompt prompt;
        QVERIFY(!(set ? setDeviceClock(t.session, prompt) : readDeviceClock(t.session, prompt)));
        QCOMPARE(prompt.texts(), QStringList{shown});
        QCOMPARE(t.state().value(QStringLiteral("clock")).toString(),
                 QStringLiteral("2024-03-05 09:07:00"));
    }

    void adminCancel_data() {
        QTest::addColumn<QJsonArray>("users");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("listed");
        const QString done = QStringLiteral("Tüm Yöneticiler İptal Edildi....");
        const QStringList listing{"busy", "get 14", "idle"};
        QTest::newRow("no users") << QJsonArray() << true << QStringList() << QStringList()
                                  << listing << QStringList() << 0;
        QTest::newRow("only an enroll user (4)")
            << QJsonArray{user("5", 4), user("6", 1)} << true << QStringList() << QStringList()
            << listing << QStringList{"5", "6"} << 2;
        QTest::newRow("super and view users go, 4 and 16 stay")
            << QJsonArray{user("1", 2), user("2", 4), user("3", 8), user("4", 16), user("7", 1)}
            << true << QStringList{question(2, "1, 3")} << QStringList{done}
            << (listing + QStringList{"set 14", "set 14"}) << QStringList{"2", "4", "7"} << 5;
        QTest::newRow("answered no: nothing deleted")
            << QJsonArray{user("1", 2), user("3", 8)} << false << QStringList{question(2, "1, 3")}
            << QStringList() << listing << QStringList{"1", "3"} << 2;
        // The terminal knows no user "8": only the second deletion succeeds.
        QTest::newRow("only the second deletion succeeds")
            << QJsonArray{user("8 ", 2), user("9", 8)} << true << QStringList{question(2, "8, 9")}
            << QStringList{done} << (listing + QStringList{"set 14", "set 14"}) << QStringList{"8 "}
            << 2;
        // Enroll number 0 addresses every user: it must never be sent as one deletion.
        QTest::newRow("administrator numbered 0 is not sent")
            << QJsonArray{user("0", 2), user("3", 8), user("5", 1)} << true
            << QStringList{question(1, "3")} << QStringList{done}
            << (listing + QStringList{"set 14"}) << QStringList{"0", "5"} << 3;
        QStringList many;
        QJsonArray twelve;
        for (int i = 1; i <= 12; ++i) {
            twelve.append(user(QString::number(i), 2));
            many << QString::number(i);
        }
        QTest::newRow("a long list is cut in the question")
            << twelve << false << QStringList{question(12, many.mid(0, 10).join(", ") + ", ...")}
            << QStringList() << listing << many << 12;
    }
    void adminCancel() {
        QFETCH(QJsonArray, users);
        QFETCH(bool, answer);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, left);
        QFETCH(int, listed);
        QTemporaryDir folder;
        QString error;
        QVERIFY2(TerminalRegistry::createStore(folder.path() + QLatin1Char('/'), &error),
                 qPrintable(error));
        TerminalRegistry store(folder.filePath(QStringLiteral("Data.db")));
        // Rows of an earlier run are scratch: they must not be deleted again.
        QSqlQuery old(store.database());
        QVERIFY(old.exec(QStringLiteral(
            "insert into ENROLLINFO (No, EnNo, Fp, Priv) values (0, '77', '1', '2')")));

        Terminal t;
        QVERIFY(t.start(stateWith(users)));
        ScriptedPrompt prompt;
        prompt.answerConfirm(answer);
        cancelAdministrators(t.session, store.database(), prompt);
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Confirm), questions);
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message), messages);
        QCOMPARE(t.tap->requests(), requests);
        QCOMPARE(enrollNumbers(t.state()), left);

        QSqlQuery rows(store.database());
        QVERIFY(rows.exec(QStringLiteral("select No, EnNo, Fp, Priv from ENROLLINFO order by No")));
        int count = 0;
        while (rows.next()) {
            const QJsonObject u = users.at(count).toObject();
            QCOMPARE(rows.value(0).toInt(), count);
            QCOMPARE(rows.value(1).toString(), u.value(QStringLiteral("enroll_number")).toString());
            QCOMPARE(rows.value(2).toString(), QStringLiteral("1"));
            QCOMPARE(rows.value(3).toString(),
                     QString::number(u.value(QStringLiteral("privilege")).toInt()));
            ++count;
        }
        QCOMPARE(count, listed);
    }

    void adminCancelRefusals_data() {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("busy refused")
            << "set_device_data:16"
            << QStringList{"Setting device communication status to busy: Fail."}
            << QStringList{"busy"};
        QTest::newRow("listing refused")
            << "get_device_data:14" << QStringList{"get all enroll: Fail"}
            << QStringList{"busy", "get 14", "idle"};
    }
    void adminCancelRefusals() {
        QFETCH(QString, refused);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requests);
        QTemporaryDir folder;
        QString error;
        QVERIFY(TerminalRegistry::createStore(folder.path() + QLatin1Char('/'), &error));
        TerminalRegistry store(folder.filePath(QStringLiteral("Data.db")));
        Terminal t;
        QVERIFY(t.start(stateWith({user("1", 2)}), {QStringLiteral("--refuse"), refused}));
        ScriptedPrompt prompt;
        prompt.answerConfirm(true);
        QCOMPARE(cancelAdministrators(t.session, store.database(), prompt), 0);
        QCOMPARE(prompt.texts(), messages);
        QCOMPARE(t.tap->requests(), requests);
        QCOMPARE(enrollNumbers(t.state()), QStringList{"1"});
    }

    void adminCancelDatabaseErrorLeavesTerminalIdle() {
        QTemporaryDir folder;
        QString error;
        QVERIFY(TerminalRegistry::createStore(folder.path() + QLatin1Char('/'), &error));
        TerminalRegistry store(folder.filePath(QStringLiteral("Data.db")));
        // A trigger stands for a store that refuses the rows.
        QSqlQuery q(store.database());
        QVERIFY(q.exec(QStringLiteral("create trigger full before insert on ENROLLINFO "
                                      "begin select raise(abort, 'disk full'); end")));
        Terminal t;
        QVERIFY(t.start(stateWith({user("1", 2)})));
        ScriptedPrompt prompt;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 cancelAdministrators(t.session, store.database(), prompt));
        QCOMPARE(t.tap->requests(), (QStringList{"busy", "get 14", "idle"}));
        QCOMPARE(t.state().value(QStringLiteral("comm_status")).toInt(), 0);
        QCOMPARE(enrollNumbers(t.state()), QStringList{"1"});
    }

    void wipe_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << true << "" << QStringList{"Tüm datalar silindi..."}
                             << QStringList{"busy", "set 14", "idle"} << QStringList();
        QTest::newRow("no") << false << "" << QStringList() << QStringList()
                            << QStringList{"1", "2"};
        QTest::newRow("refused") << true << "set_device_data:14"
                                 << QStringList{"Hata!!!Silinemedi...."}
                                 << QStringList{"busy", "set 14", "idle"} << QStringList{"1", "2"};
    }
    void wipe() {
        QFETCH(bool, answer);
        QFETCH(QString, refused);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, left);
        Terminal t;
        QStringList faults;
        if (!refused.isEmpty())
            faults << QStringLiteral("--refuse") << refused;
        QVERIFY(t.start(stateWith({user("1", 1), user("2", 2)}), faults));
        ScriptedPrompt prompt;
        prompt.answerConfirm(answer);
        QCOMPARE(wipeAllEnrollments(t.session, prompt), messages.size() == 1 && refused.isEmpty());
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Confirm),
                 QStringList{"Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor musunuz...?"});
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message), messages);
        QCOMPARE(t.tap->requests(), requests);
        QCOMPARE(enrollNumbers(t.state()), left);
    }

    void wipeRefusedWithoutLink_data() {
        QTest::addColumn<QString>("link");
        QTest::newRow("never connected") << "never";
        QTest::newRow("disconnected") << "closed";
        QTest::newRow("link lost") << "lost";
    }
    void wipeRefusedWithoutLink() {
        QFETCH(QString, link);
        Terminal t;
        QVERIFY(t.start(stateWith({user("1", 1)})));
        DeviceSession neverConnected;
        DeviceSession& session = link == QLatin1String("never") ? neverConnected : t.session;
        if (link == QLatin1String("closed"))
            t.session.CloseSession();
        if (link == QLatin1String("lost")) {
            t.tap.reset(); // the relay goes: the next call finds the link broken
            ScriptedPrompt ignored;
            QVERIFY_THROWS_EXCEPTION(DeviceError, readDeviceClock(t.session, ignored));
        }
        ScriptedPrompt prompt;
        prompt.answerConfirm(true);
        QVERIFY(!wipeAllEnrollments(session, prompt));
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Confirm), QStringList());
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Warning).size(), 1);
        if (t.tap)
            QCOMPARE(t.tap->requests(), QStringList());
        QCOMPARE(enrollNumbers(t.state()), QStringList{"1"});
    }

    void adminCancelLinkLost() {
        QTemporaryDir folder;
        QString error;
        QVERIFY(TerminalRegistry::createStore(folder.path() + QLatin1Char('/'), &error));
        TerminalRegistry store(folder.filePath(QStringLiteral("Data.db")));
        Terminal t;
        QVERIFY(t.start(stateWith({user("1", 2), user("2", 8)}),
                        {QStringLiteral("--close-on"), QStringLiteral("get_device_data:14"),
                         QStringLiteral("--close-after"), QStringLiteral("5")}));
        ScriptedPrompt prompt;
        prompt.answerConfirm(true);
        QVERIFY_THROWS_EXCEPTION(DeviceError,
                                 cancelAdministrators(t.session, store.database(), prompt));
        QVERIFY(!t.session.isOpen());
        QCOMPARE(prompt.texts(), QStringList());
        QCOMPARE(enrollNumbers(t.state()), (QStringList{"1", "2"}));
    }

    void readBellsFromTerminal() {
        Terminal t;
        QVERIFY(t.start(stateWith({})));
        ScriptedPrompt prompt;
        const std::optional<BellList> bells = readBells(t.session, prompt);
        QVERIFY(bells);
        QCOMPARE(prompt.texts(), QStringList());
        QCOMPARE(t.tap->requests(), (QStringList{"busy", "get 2", "idle"}));
        QCOMPARE((*bells)[9], (Bell{9, 0, 1, 10}));
        QCOMPARE(bellRowFor((*bells)[9]).time, QStringLiteral("09:00:00"));
    }

    void readBadBellFillsNothing() {
        ByteVector table = sampleBells();
        PutByte(table, 6 * BellRecordSize + 1, 60); // bell 7: minute 60
        Terminal t;
        QVERIFY(t.start(stateWith({}, table)));
        ScriptedPrompt prompt;
        QVERIFY(!readBells(t.session, prompt));
        QCOMPARE(t.tap->requests(), (QStringList{"busy", "get 2", "idle"}));
        const QStringList errors = prompt.texts(ScriptedPrompt::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Zil 7:")), qPrintable(errors.first()));
    }

    void sendBells() {
        Terminal t;
        QVERIFY(t.start(stateWith({})));
        ScriptedPrompt prompt;
        BellRows rows;
        for (int n = 0; n < BellCount; ++n)
            rows[static_cast<std::size_t>(n)] =
                BellRow{QStringLiteral("%1:%2:45").arg(23 - n).arg(n * 2), n % 9 == 8 ? -1 : n % 8,
                        QString::number(250 + n)};
        QVERIFY(::sendBells(t.session, rows, prompt));
        QCOMPARE(prompt.texts(), QStringList{"Zil saatleri yüklendi"});
        QCOMPARE(t.tap->requests(), (QStringList{"busy", "get 2", "set 2", "idle"}));
        const ByteVector sent = bytesOf(t.state().value(QStringLiteral("bells")));
        const ByteVector before = sampleBells();
        QCOMPARE(sent.size(), before.size());
        for (int n = 0; n < BellCount; ++n) {
            const auto at = static_cast<std::size_t>(n * BellRecordSize);
            QCOMPARE(int(sent[at]), 23 - n);
            QCOMPARE(int(sent[at + 1]), n * 2); // seconds dropped
            QCOMPARE(int(sent[at + 2]), n % 9 == 8 ? 255 : n % 8);
            QCOMPARE(int(sent[at + 3]), (250 + n) & 0xFF); // 256 is sent as 0
            for (std::size_t k = 4; k < 8; ++k)
                QCOMPARE(sent[at + k], before[at + k]);
        }
    }

    void freshWindowCannotBeSent() {
        Terminal t;
        QVERIFY(t.start(stateWith({})));
        ScriptedPrompt prompt;
        QVERIFY(!::sendBells(t.session, BellRows{}, prompt));
        QCOMPARE(t.tap->requests(), (QStringList{"busy", "get 2", "idle"}));
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message),
                 QStringList{"HATA!!!! yüklenemedi...."});
        const QStringList errors = prompt.texts(ScriptedPrompt::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Zil 1:")), qPrintable(errors.first()));
        QCOMPARE(bytesOf(t.state().value(QStringLiteral("bells"))), sampleBells());
        QCOMPARE(t.state().value(QStringLiteral("comm_status")).toInt(), 0);
    }

    void bellsRefused_data() {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("busy refused")
            << "set_device_data:16"
            << QStringList{"Setting device communication status to busy: Fail.",
                           "HATA!!!! yüklenemedi...."}
            << QStringList{"busy"};
        QTest::newRow("table read refused")
            << "get_device_data:2" << QStringList{"Get alarm: Fail", "HATA!!!! yüklenemedi...."}
            << QStringList{"busy", "get 2", "idle"};
        QTest::newRow("table write refused")
            << "set_device_data:2" << QStringList{"HATA!!!! yüklenemedi...."}
            << QStringList{"busy", "get 2", "set 2", "idle"};
    }
    void bellsRefused() {
        QFETCH(QString, refused);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requests);
        Terminal t;
        QVERIFY(t.start(stateWith({}), {QStringLiteral("--refuse"), refused}));
        ScriptedPrompt prompt;
        BellRows rows;
        rows.fill(BellRow{QStringLiteral("08:00"), 0, QStringLiteral("5")});
        QVERIFY(!::sendBells(t.session, rows, prompt));
        QCOMPARE(prompt.texts(), messages);
        QCOMPARE(t.tap->requests(), requests);
        QCOMPARE(bytesOf(t.state().value(QStringLiteral("bells"))), sampleBells());
    }

    void linkLostDuringSend() {
        Terminal t;
        QVERIFY(t.start(stateWith({}),
                        {QStringLiteral("--close-on"), QStringLiteral("get_device_data:2"),
                         QStringLiteral("--close-after"), QStringLiteral("3")}));
        ScriptedPrompt prompt;
        BellRows rows;
        rows.fill(BellRow{QStringLiteral("08:00"), 0, QStringLiteral("5")});
        QVERIFY_THROWS_EXCEPTION(DeviceError, ::sendBells(t.session, rows, prompt));
        QCOMPARE(bytesOf(t.state().value(QStringLiteral("bells"))), sampleBells());
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestMaintenanceDevice)
#include "test_maintenance_device.moc"
