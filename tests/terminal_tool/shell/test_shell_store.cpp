// Options in Settings.ini, the terminal table's checks and the init / terminal commands.

#include "cli/commands.h"
#include "options.h"
#include "terminal_registry.h"
#include "test_files.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString folderOf(const QTemporaryDir& dir) {
    return dir.path() + QLatin1Char('/');
}

TerminalRecord terminal(const QString& name, const QString& number, const QString& port) {
    TerminalRecord t;
    t.name = name;
    t.terminalNo = number;
    t.tip = QStringLiteral("ethernet");
    t.comPort = QStringLiteral("1");
    t.comBaud = QStringLiteral("9600");
    t.ip = QStringLiteral("10.0.0.7");
    t.netPort = port;
    t.password = QStringLiteral("0");
    return t;
}

} // namespace

class TestShellStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOptions_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("veriDosya2");
        QTest::addColumn<bool>("veriSil");
        QTest::addColumn<bool>("dorvak");
        QTest::newRow("1, yes, empty: only the second file")
            << QByteArray("[Options]\r\nveriDosya2=1\r\nveriSil=yes\r\ndorvak=\r\n") << true
            << false << false;
        QTest::newRow("all 1") << QByteArray("[Options]\nveriDosya2=1\nveriSil=1\ndorvak=1\n")
                               << true << true << true;
        QTest::newRow("only exactly 1 ticks")
            << QByteArray("[Options]\nveriDosya2=01\nveriSil=true\ndorvak=1 ;x\n") << false << false
            << false;
        QTest::newRow("keys of another section do not count")
            << QByteArray("[Login]\nveriSil=1\n[Options]\ndorvak=1\n") << false << false << true;
        QTest::newRow("no file") << QByteArray() << false << false << false;
    }
    void readOptions() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = settingsFilePath(folderOf(dir));
        if (!content.isEmpty())
            QVERIFY(writeFileBytes(path, content));
        const Options o = ::readOptions(path);
        QTEST(o.veriDosya2, "veriDosya2");
        QTEST(o.veriSil, "veriSil");
        QTEST(o.dorvak, "dorvak");
    }

    void saveOptionsKeepsTheRestOfTheFile() {
        QTemporaryDir dir;
        const QString path = settingsFilePath(folderOf(dir));
        // Login text in Windows-1254 ("Şube"), comments, CRLF, no Options section yet.
        const QByteArray before = "; PDKS\r\n[Login]\r\nServer=10.1.1.1\r\nDatabase=\xDE"
                                  "ube\r\n\r\n[MySql]\r\nUser=pdks\r\nPassword=gizli\r\n";
        QVERIFY(writeFileBytes(path, before));
        saveOptions(path, Options{false, false, false});
        QCOMPARE(readFileBytes(path),
                 before + "\r\n[Options]\r\nveriDosya2=0\r\nveriSil=0\r\ndorvak=\r\n");
        saveOptions(path, Options{true, false, true});
        QCOMPARE(readFileBytes(path),
                 before + "\r\n[Options]\r\nveriDosya2=1\r\nveriSil=0\r\ndorvak=1\r\n");
        const Options back = ::readOptions(path);
        QVERIFY(back.veriDosya2 && !back.veriSil && back.dorvak);
    }

    void wholeNumbersRefused_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("port");
        QTest::newRow("number text") << "abc"
                                     << "5005";
        QTest::newRow("number empty") << ""
                                      << "5005";
        QTest::newRow("port with a dot") << "1"
                                         << "50.5";
        QTest::newRow("port too big for a whole number") << "1"
                                                         << "99999999999";
    }
    void wholeNumbersRefused() {
        QFETCH(QString, number);
        QFETCH(QString, port);
        QTemporaryDir dir;
        QString error;
        QVERIFY(TerminalRegistry::createStore(folderOf(dir), &error));
        TerminalRegistry registry(folderOf(dir) + "Data.db");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 registry.insert(terminal("Merkez", number, port)));
        QVERIFY(registry.list().isEmpty());
    }

    void valuesStoredTrimmed() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(TerminalRegistry::createStore(folderOf(dir), &error));
        TerminalRegistry registry(folderOf(dir) + "Data.db");
        const QString id = registry.insert(terminal("  Depo ", " 7 ", " 4370"));
        const auto row = registry.byId(id);
        QVERIFY(row);
        QCOMPARE(row->name, QStringLiteral("Depo"));
        QCOMPARE(row->terminalNo, QStringLiteral("7"));
        QCOMPARE(row->netPort, QStringLiteral("4370"));
    }

    void updateOfAVanishedRowIsAnError() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(TerminalRegistry::createStore(folderOf(dir), &error));
        TerminalRegistry registry(folderOf(dir) + "Data.db");
        TerminalRecord row = terminal("Merkez", "1", "5005");
        row.id = registry.insert(row);
        registry.remove(row.id);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, registry.update(row));
    }

    void initNeverChangesAnExistingStore() {
        QTemporaryDir dir;
        const QString folder = folderOf(dir);
        QCOMPARE(runInit(folder, {}), 0);
        QVERIFY(QFile::exists(folder + "Data.db"));
        QVERIFY(QFile::exists(folder + "Log.db"));
        {
            TerminalRegistry registry(folder + "Data.db");
            registry.insert(terminal("Merkez", "1", "5005"));
        }
        const QByteArray data = readFileBytes(folder + "Data.db");
        const QByteArray log = readFileBytes(folder + "Log.db");
        QCOMPARE(runInit(folder, {}), 0);
        QCOMPARE(readFileBytes(folder + "Data.db"), data);
        QCOMPARE(readFileBytes(folder + "Log.db"), log);

        // A missing Log.db is made without touching Data.db.
        QVERIFY(QFile::remove(folder + "Log.db"));
        QCOMPARE(runInit(folder, {}), 0);
        QCOMPARE(readFileBytes(folder + "Data.db"), data);
        QVERIFY(QFile::exists(folder + "Log.db"));
    }

    void initTablesTakeTheStatementsOfTheTools() {
        QTemporaryDir dir;
        const QString folder = folderOf(dir);
        QCOMPARE(runInit(folder, {}), 0);
        TerminalRegistry registry(folder + "Data.db");
        QSqlQuery q(registry.database());
        QVERIFY(q.exec("insert into ENROLLINFO (No, EnNo, Fp, Priv) values (1, '5', '0', '1')"));
        QVERIFY(q.exec("select ID, TerminalNo, Terminal, Tip, ComPort, ComBaud, Ip, NetPort, "
                       "Sifre from Terminal"));
    }

    void terminalAddCommand_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("rows");
        QTest::newRow("ethernet") << QStringList{"add",      "--name",   "Merkez",    "--type",
                                                 "ethernet", "--ip",     "127.0.0.1", "--port",
                                                 "4370",     "--number", "3",         "--password",
                                                 "0"}
                                  << 0 << 1;
        QTest::newRow("com with port")
            << QStringList{"add", "--name", "Depo", "--type", "com", "--com-port", "/dev/pts/3"}
            << 0 << 1;
        QTest::newRow("unknown type")
            << QStringList{"add", "--name", "X", "--type", "wifi"} << 2 << 0;
        QTest::newRow("no name") << QStringList{"add", "--type", "usb"} << 2 << 0;
        QTest::newRow("bad number")
            << QStringList{"add", "--name", "X", "--type", "usb", "--number", "bir"} << 1 << 0;
        QTest::newRow("value missing") << QStringList{"add", "--name"} << 2 << 0;
    }
    void terminalAddCommand() {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        const QString folder = folderOf(dir);
        QCOMPARE(runInit(folder, {}), 0);
        QTEST(runTerminal(folder, args), "status");
        TerminalRegistry registry(folder + "Data.db");
        QTEST(int(registry.list().size()), "rows");
    }

    void terminalAddWithoutStoreFails() {
        QTemporaryDir dir;
        QCOMPARE(runTerminal(folderOf(dir), {"add", "--name", "X", "--type", "usb"}), 1);
        QVERIFY(!QFile::exists(folderOf(dir) + "Data.db"));
    }
};

QTEST_GUILESS_MAIN(TestShellStore)
#include "test_shell_store.moc"
