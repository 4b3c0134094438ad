// Taking over an old installation: Access tables read through mdbtools, the mapping of table
// Terminal's columns, the merge into an existing list and the copy of the settings.

#include "cli/import_commands.h"

#include "cli/commands.h"
#include "ini_file.h"
#include "scripted_prompt.h"
#include "terminal_registry.h"
#include "test_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A real Access file, committed with the tests so a clean checkout has it.
QString accessSample() {
    return qEnvironmentVariable("SELVANO_SOURCE_DIR") +
           QStringLiteral("/tests/data/access/access-sample.mdb");
}

TerminalRecord terminal(const QString& name, const QString& no, const QString& ip,
                        const QString& port) {
    TerminalRecord t;
    t.terminalNo = no;
    t.name = name;
    t.tip = QStringLiteral("ethernet");
    t.comPort = QStringLiteral("1");
    t.comBaud = QStringLiteral("9600");
    t.ip = ip;
    t.netPort = port;
    t.password = QStringLiteral("0");
    return t;
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsRealAccessFile() {
        QVERIFY2(QFile::exists(accessSample()), qPrintable(accessSample()));
        const AccessTable t = readAccessTable(accessSample(), QStringLiteral("DateTest"));
        QCOMPARE(t.columns, (QStringList{"IDCol", "DateTimeCol", "DateCol", "TimeCol",
                                         "LongTextCol", "ShortTextCol"}));
        QCOMPARE(t.rows.size(), 6);
        QCOMPARE(t.rows[0], (QStringList{"1", "2021-12-02 00:00:00", "2021-12-02 00:00:00",
                                         "2021-12-02 00:00:00", "Hello", "Hello"}));
        // A memo holding a line end stays one value of one row.
        QCOMPARE(t.rows[5][4], QStringLiteral("New line\r\nin field"));
        QCOMPARE(t.rows[5][5], QStringLiteral("No new line"));
    }

    void unreadableSourcesSayWhy_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no table") << accessSample() << "Terminal"
                                  << "mdb-export"
                                  << "Table Terminal does not exist";
        QTest::newRow("no file") << "/nonexistent/Data.mdb"
                                 << "Terminal"
                                 << "mdb-export"
                                 << "bulunamadı";
        QTest::newRow("not an Access file")
            << qEnvironmentVariable("SELVANO_SOURCE_DIR") + "/README.md"
            << "Terminal"
            << "mdb-export"
            << "okunamadı";
        QTest::newRow("no mdbtools") << accessSample() << "DateTest"
                                     << "/nonexistent/mdb-export"
                                     << "mdbtools";
    }
    void unreadableSourcesSayWhy() {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QString, tool);
        QFETCH(QString, expected);
        try {
            readAccessTable(file, table, tool);
            QFAIL("no error");
        } catch (const std::runtime_error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(expected), e.what());
        }
    }

    void mapsColumnsOfAnySpelling_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("expected"); // no, name, tip, port, baud, ip, net, sifre
        QTest::newRow("as written by the editor")
            << QByteArray("ID,TerminalNo,Terminal,Tip,ComPort,ComBaud,Ip,NetPort,Sifre\r\n"
                          "7,3,\"Giriş Kapısı\",\"ethernet\",\"1\",\"9600\",\"10.0.0.5\",5005,"
                          "\"731586\"\r\n")
            << QStringList{"3",    "Giriş Kapısı", "ethernet", "1",
                           "9600", "10.0.0.5",     "5005",     "731586"};
        QTest::newRow("lower case, other order, extra column")
            << QByteArray("sifre,ip,netport,notlar,terminal,tip,terminalno,comport,combaud\n"
                          "\"0\",\"192.168.1.9\",4370,\"x\",\"Yemekhane\",\"com\",2,\"3\","
                          "\"19200\"\n")
            << QStringList{"2", "Yemekhane", "com", "3", "19200", "192.168.1.9", "4370", "0"};
        QTest::newRow("blanks around values, missing columns empty")
            << QByteArray("Terminal,IP,TerminalNo\n\"  Depo \",\" 10.1.1.1 \",\" 4\"\n")
            << QStringList{"4", "Depo", "", "", "", "10.1.1.1", "", ""};
        QTest::newRow("quote inside a name")
            << QByteArray("Terminal,TerminalNo\n\"A \"\"B\"\" kapı\",1\n")
            << QStringList{"1", "A \"B\" kapı", "", "", "", "", "", ""};
    }
    void mapsColumnsOfAnySpelling() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, expected);
        const QList<TerminalRecord> rows = terminalsFromTable(parseAccessExport(csv));
        QCOMPARE(rows.size(), 1);
        const TerminalRecord& t = rows.first();
        QCOMPARE((QStringList{t.terminalNo, t.name, t.tip, t.comPort, t.comBaud, t.ip, t.netPort,
                              t.password}),
                 expected);
        QVERIFY(t.id.isEmpty());
    }

    void tableWithoutTerminalColumnIsRefused() {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 terminalsFromTable(parseAccessExport("ID,Ad\n1,\"x\"\n")));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, parseAccessExport(""));
    }

    void mergesIntoExistingList() {
        QTemporaryDir dir;
        QString error;
        QVERIFY2(TerminalRegistry::createStore(dir.path() + '/', &error), qPrintable(error));
        TerminalRegistry registry(dir.filePath(QStringLiteral("Data.db")));
        registry.insert(terminal("Giriş", "1", "10.0.0.1", "5005"));
        registry.insert(terminal("Çıkış", "2", "10.0.0.2", "5005"));

        TerminalRecord badNumber = terminal("Bozuk", "bir", "10.0.0.9", "5005");
        const QList<TerminalRecord> old{
            terminal("Giriş", "01", "10.0.0.1", "5005"), // the same terminal, number written 01
            terminal("Çıkış", "2", "10.0.0.3", "5005"),  // same name, another address: kept
            badNumber,
            terminal("Yemekhane", "3", "10.0.0.4", "4370"),
            terminal("Yemekhane", "3", "10.0.0.4", "4370"), // twice in the old file
        };
        LineCollector out;
        const ImportCounts counts = importTerminals(registry, old, out);
        QCOMPARE(counts.imported, 2);
        QCOMPARE(counts.skipped, 2);
        QCOMPARE(counts.failed, 1);
        QCOMPARE(out.lines().size(), 5);
        QVERIFY(out.lines()[0].startsWith(QStringLiteral("zaten var, atlandı: Giriş")));
        QVERIFY(out.lines()[2].startsWith(QStringLiteral("eklenemedi: Bozuk")));
        QVERIFY(out.lines()[2].contains(QStringLiteral("bir")));

        QStringList names;
        for (const TerminalRecord& t : registry.list())
            names << t.name + QLatin1Char('@') + t.ip;
        names.sort();
        QCOMPARE(names, (QStringList{"Giriş@10.0.0.1", "Yemekhane@10.0.0.4", "Çıkış@10.0.0.2",
                                     "Çıkış@10.0.0.3"}));
    }

    void copiesOldSettingsKeepingOtherLines() {
        QTemporaryDir dir;
        const QString oldIni = dir.filePath(QStringLiteral("old.ini"));
        const QString newIni = dir.filePath(QStringLiteral("new.ini"));
        QVERIFY(writeFileBytes(oldIni, "[Options]\r\nveriDosya2=1\r\ndorvak=\r\n[Login]\r\n"
                                       "Server=pdks\r\n[Other]\r\nx=y\r\n"));
        QVERIFY(writeFileBytes(newIni, "; mine\n[Options]\nveriDosya2=0\nveriSil=1\n"));
        const QStringList copied = copyOldSettings(oldIni, newIni);
        QCOMPARE(copied, (QStringList{"Options/veriDosya2", "Options/dorvak", "Login/Server"}));
        IniFile result(newIni);
        QVERIFY(result.load());
        QCOMPARE(result.value("Options", "veriDosya2"), QStringLiteral("1"));
        QCOMPARE(result.value("Options", "veriSil"), QStringLiteral("1")); // not in the old file
        QVERIFY(result.contains("Options", "dorvak"));
        QCOMPARE(result.value("Login", "Server"), QStringLiteral("pdks"));
        QVERIFY(!result.contains("Other", "x"));
        QVERIFY(readFileBytes(newIni).startsWith("; mine\n"));
    }

    // The whole command, with mdb-export standing in for a Terminal table that mdbtools
    // cannot create: a first import, then a second that finds everything there.
    void commandImportsOnceAndReportsIt() {
        QTemporaryDir dir;
        const QString bin = dir.filePath(QStringLiteral("bin"));
        const QString old = dir.filePath(QStringLiteral("old"));
        const QString target = dir.filePath(QStringLiteral("new")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(old) && QDir().mkpath(target));
        QVERIFY(writeFileBytes(old + "/Data.mdb", "not read by the stand-in"));
        QVERIFY(writeFileBytes(old + "/Settings.ini", "[Options]\r\nveriSil=1\r\n"));
        QVERIFY(writeFileBytes(bin + "/mdb-export",
                               "#!/bin/sh\n"
                               "printf 'ID,TerminalNo,Terminal,Tip,Ip,NetPort,Sifre\\n'\n"
                               "printf '1,1,\"Giriş\",\"ethernet\",\"10.0.0.1\",5005,\"0\"\\n'\n"
                               "printf '2,2,\"Depo\",\"usb\",\"\",5005,\"0\"\\n'\n"));
        QFile(bin + "/mdb-export").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ':' + path);
        const int first = runImport(target, {old});
        const int second = runImport(target, {old});
        qputenv("PATH", path);
        QCOMPARE(first, 0);
        QCOMPARE(second, 0);
        const TerminalRegistry registry(target + "Data.db");
        QCOMPARE(registry.list().size(), 2);
        QCOMPARE(registry.list().first().tip, QStringLiteral("usb"));
        IniFile ini(target + "Settings.ini");
        QVERIFY(ini.load());
        QCOMPARE(ini.value("Options", "veriSil"), QStringLiteral("1"));
    }

    void commandRefusesBadArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no folder") << QStringList{} << 2;
        QTest::newRow("two folders") << QStringList{"a", "b"} << 2;
        QTest::newRow("an option") << QStringList{"--all"} << 2;
        QTest::newRow("no Data.mdb") << QStringList{"/nonexistent"} << 1;
    }
    void commandRefusesBadArguments() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QTemporaryDir dir;
        QCOMPARE(runImport(dir.path() + QLatin1Char('/'), args), status);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Data.db"))));
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
