// One user's data on an emulated terminal: fingerprints, password, card, name, extra
// information, privilege, the whole record and the user as a whole.
#include "enroll_fixture.h"
#include "scripted_prompt.h"
#include "single_user.h"

#include <QTest>

using namespace enroll_test;

namespace {

const QList<TerminalUser> kUsers = {
    {"5", "Ayşe Kaya", 1, "1234", "998877", {0, 3}},
    {"6", "Mehmet", 8, "", "", {}},
};

enum class Op {
    ClearFp,
    WritePassword,
    ClearPassword,
    WriteCard,
    ClearCard,
    WriteName,
    WriteExtInfo,
    SetPrivilege,
    ClearUser
};

} // namespace

Q_DECLARE_METATYPE(Op)

class TestSingleUser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writes_data() {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("key"); // user field checked afterwards
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("password trimmed") << Op::WritePassword << " 6 "
                                          << " 4321 "
                                          << "set password: Success"
                                          << "password" << QJsonValue("4321");
        QTest::newRow("blank user number") << Op::WritePassword << "  "
                                           << "4321"
                                           << "set password: Fail"
                                           << "" << QJsonValue();
        QTest::newRow("clear password") << Op::ClearPassword << "5"
                                        << ""
                                        << "clear password: Success"
                                        << "password" << QJsonValue("");
        QTest::newRow("card trimmed") << Op::WriteCard << "6"
                                      << " 00042 "
                                      << "set card: Success"
                                      << "card" << QJsonValue("00042");
        QTest::newRow("clear card") << Op::ClearCard << "5"
                                    << ""
                                    << "clear card: Success"
                                    << "card" << QJsonValue("");
        QTest::newRow("name with Turkish letters") << Op::WriteName << "6"
                                                   << " Işıl Çağrı "
                                                   << "set user name: success"
                                                   << "name" << QJsonValue("Işıl Çağrı");
        QTest::newRow("name of an unknown user") << Op::WriteName << "77"
                                                 << "X"
                                                 << "set user name: Fail"
                                                 << "" << QJsonValue();
        QTest::newRow("extra information") << Op::WriteExtInfo << "6"
                                           << "vardiya B"
                                           << "set user extinfo: success"
                                           << "extra_info" << QJsonValue("vardiya B");
        QTest::newRow("Customer is 16") << Op::SetPrivilege << "6"
                                        << "4"
                                        << "set user privilege: Success"
                                        << "privilege" << QJsonValue(16);
        QTest::newRow("Super User is 8") << Op::SetPrivilege << "5"
                                         << "3"
                                         << "set user privilege: Success"
                                         << "privilege" << QJsonValue(8);
        QTest::newRow("nothing chosen is 1") << Op::SetPrivilege << "6"
                                             << "-1"
                                             << "set user privilege: Success"
                                             << "privilege" << QJsonValue(1);
        QTest::newRow("clear finger 3") << Op::ClearFp << "5"
                                        << "3"
                                        << "clear fp: Sucess"
                                        << "fingerprints" << QJsonValue();
        QTest::newRow("clear a finger of an unknown user") << Op::ClearFp << "77"
                                                           << "0"
                                                           << "clear fp: Fail"
                                                           << "" << QJsonValue();
        QTest::newRow("delete the user") << Op::ClearUser << " 5 "
                                         << ""
                                         << "Clear one user: Success"
                                         << "gone" << QJsonValue();
        QTest::newRow("delete an unknown user") << Op::ClearUser << "77"
                                                << ""
                                                << "Clear one user: Fail"
                                                << "" << QJsonValue();
    }
    void writes() {
        QFETCH(Op, op);
        QFETCH(QString, userId);
        QFETCH(QString, argument);
        QFETCH(QString, message);
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        const bool expected = message.endsWith("uccess") || message.endsWith("ucess");
        bool ok = false;
        switch (op) {
        case Op::ClearFp:
            ok = ops.clearFingerprint(userId, argument.toInt());
            break;
        case Op::WritePassword:
            ok = ops.writePassword(userId, argument);
            break;
        case Op::ClearPassword:
            ok = ops.clearPassword(userId);
            break;
        case Op::WriteCard:
            ok = ops.writeCard(userId, argument);
            break;
        case Op::ClearCard:
            ok = ops.clearCard(userId);
            break;
        case Op::WriteName:
            ok = ops.writeUserName(userId, argument);
            break;
        case Op::WriteExtInfo:
            ok = ops.writeExtInfo(userId, argument);
            break;
        case Op::SetPrivilege:
            ok = ops.setPrivilege(userId, argument.toInt());
            break;
        case Op::ClearUser:
            ok = ops.clearUser(userId);
            break;
        }
        QCOMPARE(ok, expected);
        QCOMPARE(prompt.texts(), QStringList({message}));
        const QJsonObject after = emulator.state();
        const QJsonObject u = userIn(after, trimmedText(userId));
        if (key == "gone")
            QVERIFY(u.isEmpty());
        else if (key == "fingerprints")
            QCOMPARE(u.value(key).toObject().keys(), QStringList({"0"}));
        else if (!key.isEmpty())
            QCOMPARE(u.value(key), value);
        else
            QCOMPARE(enrollmentOf(after), enrollmentOf(stateWith(kUsers)));
        QCOMPARE(after.value("comm_status").toInt(), 0);
    }

    void reads_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("value"); // empty: the read fails
        QTest::addColumn<QString>("failure");
        QTest::newRow("password") << "password"
                                  << "5"
                                  << "1234"
                                  << "get Password: Fail";
        QTest::newRow("no password") << "password"
                                     << "6"
                                     << ""
                                     << "get Password: Fail";
        QTest::newRow("card") << "card"
                              << " 5"
                              << "998877"
                              << "get card: Fail";
        QTest::newRow("no card") << "card"
                                 << "6"
                                 << ""
                                 << "get card: Fail";
        QTest::newRow("name") << "name"
                              << "5"
                              << "Ayşe Kaya"
                              << "get user name: Fail";
        QTest::newRow("unknown user's name") << "name"
                                             << "9"
                                             << ""
                                             << "get user name: Fail";
        QTest::newRow("unknown user's extinfo") << "extinfo"
                                                << "9"
                                                << ""
                                                << "get user extinfo: Fail";
    }
    void reads() {
        QFETCH(QString, what);
        QFETCH(QString, userId);
        QFETCH(QString, value);
        QFETCH(QString, failure);
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        std::optional<QString> read;
        if (what == "password")
            read = ops.readPassword(userId);
        else if (what == "card")
            read = ops.readCard(userId);
        else if (what == "name")
            read = ops.readUserName(userId);
        else
            read = ops.readExtInfo(userId);
        if (value.isEmpty()) {
            QVERIFY(!read);
            QCOMPARE(prompt.texts(), QStringList({failure}));
        } else {
            QCOMPARE(read.value_or("<none>"), value);
            QVERIFY(prompt.texts().isEmpty());
        }
    }

    // A fingerprint read from one user and written as another user's finger 3: the terminal
    // gets 1992 bytes with the template in the last 498, and stores exactly that template.
    void fingerprintCopiedToFinger3() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        QVERIFY(ops.readFingerprint("5", 3));
        QCOMPARE(state.fingerprint, fingerprintTemplate(53));
        const QString text = BytesToHex(state.fingerprint);
        QCOMPARE(text.size(), 1494);
        QVERIFY(text.endsWith(' '));
        QVERIFY(ops.writeFingerprint("6", 3));
        QCOMPARE(prompt.texts(), QStringList({"set fp: Sucess"}));
        const QJsonObject fingers = userIn(emulator.state(), "6").value("fingerprints").toObject();
        QCOMPARE(fingers.keys(), QStringList({"3"}));
        QCOMPARE(fingers.value("3").toString(), hexOf(fingerprintTemplate(53)));
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }

    void fingerprintReadFailureKeepsBuffer() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        state.fingerprint = fingerprintTemplate(1);
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        QVERIFY(!ops.readFingerprint("5", 7));
        QCOMPARE(prompt.texts(), QStringList({"get fp: Fail"}));
        QCOMPARE(state.fingerprint, fingerprintTemplate(1));
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
    }

    // Busy refused: its message only, and nothing is sent.
    void busyRefused() {
        EmulatorProcess emulator;
        DeviceSession session;
        EmulatorOptions options;
        options.arguments = QStringList{"--refuse", "set_device_data:16"};
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers), options));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        QVERIFY(!ops.writeFingerprint("6", 0));
        QVERIFY(!ops.readDetail("5"));
        QCOMPARE(prompt.texts(),
                 QStringList(2, "Setting device communication status to busy: Fail."));
        QVERIFY(userIn(emulator.state(), "6").value("fingerprints").toObject().isEmpty());
    }

    void detailReadAndWriteBack() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        const std::optional<UserDetail> d = ops.readDetail("5");
        QVERIFY(d);
        QCOMPARE(d->password, QStringLiteral("1234"));
        QCOMPARE(d->cardId, QStringLiteral("998877"));
        QCOMPARE(d->userName, QStringLiteral("Ayşe Kaya"));
        QVERIFY(d->enabled);
        QCOMPARE(d->deptId, QStringLiteral("3"));
        QCOMPARE(d->groupId, QStringLiteral("2"));
        QVERIFY(d->validPeriod);
        QCOMPARE(d->validTo, QDate(2030, 12, 31));
        QCOMPARE(state.fingerprint, fingerprintTemplate(50));
        QVERIFY(state.detailUser);

        // Written back under number 6 with a changed name: the fingers stay the terminal's,
        // the password and card come from the fields.
        UserDetail typed = *d;
        typed.userName = "Ayşe K.";
        typed.passZone = "4";
        QVERIFY(ops.writeDetail("6", 4, typed));
        QCOMPARE(prompt.texts(), QStringList({"Set User Detail Info: Sucess"}));
        const QJsonObject six = userIn(emulator.state(), "6");
        QCOMPARE(six.value("name").toString(), QStringLiteral("Ayşe K."));
        QCOMPARE(six.value("privilege").toInt(), 16);
        QCOMPARE(six.value("password").toString(), QStringLiteral("1234"));
        QCOMPARE(six.value("card").toString(), QStringLiteral("998877"));
        QCOMPARE(six.value("pass_zone").toInt(), 4);
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);

        QVERIFY(!ops.readDetail("404"));
        QCOMPARE(prompt.texts().last(), QStringLiteral("Get user detail info: Fail"));
    }

    // Before any detail read: a fresh user, lock control -1 unless chosen; a blank password is
    // stored as typed but not marked, a card with blanks keeps them.
    void detailWriteWithoutRead() {
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        UserDetail typed;
        typed.password = "   ";
        typed.cardId = " 77 ";
        typed.userName = "Yeni";
        typed.validFrom = QDate(2000, 1, 1);
        typed.validTo = QDate(2099, 12, 31);
        QVERIFY(ops.writeDetail("31", 0, typed));
        const QJsonObject u = userIn(emulator.state(), "31");
        QCOMPARE(u.value("lock_control").toInt(), -1);
        QCOMPARE(u.value("password").toString(), QString());
        QCOMPARE(u.value("card").toString(), QStringLiteral(" 77 "));
        QCOMPARE(u.value("valid_to").toString(), QStringLiteral("2099-12-31 00:00:00"));
        QVERIFY(state.detailUser);
        QCOMPARE(state.detailUser->Enrolls.front().Password, QStringLiteral("   "));
    }

    // "ab" in Dept ID stops the write with the conversion's message; nothing is sent, and the
    // terminal is still set idle again.
    void detailWriteRefusesTextThatIsNoNumber_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("Dept ID") << "dept";
        QTest::newRow("Att type ID") << "att";
        QTest::newRow("Pass zone") << "zone";
        QTest::newRow("Group ID") << "group";
    }
    void detailWriteRefusesTextThatIsNoNumber() {
        QFETCH(QString, field);
        EmulatorProcess emulator;
        DeviceSession session;
        QVERIFY(startAndConnect(emulator, session, stateWith(kUsers)));
        EnrollState state;
        ScriptedPrompt prompt;
        SingleUserOperations ops(session, state, prompt);
        UserDetail typed;
        typed.userName = "Değişmemeli";
        (field == "dept"   ? typed.deptId
         : field == "att"  ? typed.attTypeId
         : field == "zone" ? typed.passZone
                           : typed.groupId) = "ab";
        try {
            ops.writeDetail("5", 0, typed);
            QFAIL("the write went on");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("'ab' is not a valid integer value"));
        }
        QVERIFY(prompt.texts().isEmpty());
        QVERIFY(!state.detailUser);
        const QJsonObject after = emulator.state();
        QCOMPARE(userIn(after, "5").value("name").toString(), QStringLiteral("Ayşe Kaya"));
        QCOMPARE(after.value("comm_status").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSingleUser)
#include "test_single_user.moc"
