// selvanor clock and selvanor bells, run as an administrator's script would run them.
#include "bell_schedule.h"
#include "emulator_process.h"
#include "terminal_registry.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Bell n (1..24) at (n-1):n, day code n - 1 (9 and above select no day), n seconds; bytes 4
// to 7 set to 0xA0 + n.
QByteArray sampleTable() {
    QByteArray table(BellTableSize, '\0');
    for (int n = 1; n <= BellCount; ++n) {
        char* r = table.data() + (n - 1) * BellRecordSize;
        r[0] = static_cast<char>(n - 1);
        r[1] = static_cast<char>(n);
        r[2] = static_cast<char>(n - 1);
        r[3] = static_cast<char>(n);
        for (int k = 4; k < 8; ++k)
            r[k] = static_cast<char>(0xA0 + n);
    }
    return table;
}

struct Run {
    int status = -1;
    QString out;
    QString err;
};

} // namespace

class TestMaintenanceCommands : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder_;
    EmulatorProcess emulator_;

    void startTerminal(const QStringList& faults = {}) {
        QJsonObject state = EmulatorProcess::defaultState();
        state.insert(QStringLiteral("bells"), QString::fromLatin1(sampleTable().toHex()));
        EmulatorOptions options;
        options.arguments = faults;
        QVERIFY2(emulator_.start(state, options), qPrintable(emulator_.errorText()));
        TerminalRegistry registry(folder_.filePath(QStringLiteral("Data.db")));
        TerminalRecord row;
        row.terminalNo = QStringLiteral("1");
        row.name = QStringLiteral("Merkez");
        row.tip = QStringLiteral("ethernet");
        row.ip = QStringLiteral("127.0.0.1");
        row.netPort = QString::number(emulator_.port());
        row.password = QStringLiteral("0");
        registry.insert(row);
    }

    Run selvanor(const QStringList& args) {
        QProcess p;
        p.start(qEnvironmentVariable("SELVANO_BIN_DIR") + QStringLiteral("/selvanor"),
                QStringList{args.first(), QStringLiteral("--folder"), folder_.path()} +
                    args.mid(1));
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QByteArray terminalTable() const {
        return QByteArray::fromHex(
            emulator_.state().value(QStringLiteral("bells")).toString().toLatin1());
    }

private Q_SLOTS:
    void init() {
        QVERIFY(QFile::remove(folder_.filePath(QStringLiteral("Data.db"))) ||
                !QFile::exists(folder_.filePath(QStringLiteral("Data.db"))));
        QString error;
        QVERIFY2(TerminalRegistry::createStore(folder_.path() + QLatin1Char('/'), &error),
                 qPrintable(error));
    }
    void cleanup() { emulator_.stop(); }

    void clock_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::newRow("get") << QStringList{"clock", "--terminal", "Merkez", "--get"}
                             << QStringList() << 0 << "2024-3-5 9:7:0\n";
        QTest::newRow("set") << QStringList{"clock", "--terminal=Merkez", "--set"} << QStringList()
                             << 0 << "cihaz tarih saati ayarlandı..\n";
        QTest::newRow("get refused")
            << QStringList{"clock", "--terminal", "Merkez", "--get"}
            << QStringList{"--refuse", "get_device_data:10"} << 1 << "Get the device time: Fail\n";
        QTest::newRow("set refused") << QStringList{"clock", "--set", "--terminal", "Merkez"}
                                     << QStringList{"--refuse", "set_device_data:10"} << 1
                                     << "HATA...tarih saat ayarlanamadı..\n";
    }
    void clock() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, faults);
        QFETCH(int, status);
        QFETCH(QString, out);
        startTerminal(faults);
        const Run r = selvanor(args);
        QCOMPARE(r.out, out);
        QCOMPARE(r.status, status);
    }

    void bellsGetAndSetBack() {
        startTerminal();
        const Run got = selvanor({"bells", "--terminal", "Merkez", "--get"});
        QCOMPARE(got.status, 0);
        const QStringList lines = got.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), BellCount);
        QCOMPARE(lines.first(), QStringLiteral("00:01:00 0 1"));
        QCOMPARE(lines.at(7), QStringLiteral("07:08:00 7 8"));
        QCOMPARE(lines.at(8), QStringLiteral("08:09:00 255 9")); // day code 8: no day
        QCOMPARE(lines.last(), QStringLiteral("23:24:00 255 24"));

        QStringList edited = lines;
        edited[0] = QStringLiteral("06:45:30 3 200");
        QFile file(folder_.filePath(QStringLiteral("bells.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(edited.join(QLatin1Char('\n')).toUtf8() + '\n');
        file.close();
        const Run set = selvanor({"bells", "--terminal", "Merkez", "--set", file.fileName()});
        QCOMPARE(set.out, QStringLiteral("Zil saatleri yüklendi\n"));
        QCOMPARE(set.status, 0);
        QByteArray expected = sampleTable();
        expected.replace(0, 4, QByteArray::fromHex("062d03c8"));
        for (int n = 9; n <= BellCount; ++n)
            expected[(n - 1) * BellRecordSize + 2] = char(0xFF);
        QCOMPARE(terminalTable().toHex(), expected.toHex());
    }

    void badBellFileTouchesNoTerminal_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("named");
        const QString good = QStringLiteral("08:00:00 0 5\n");
        QTest::newRow("23 lines") << good.repeated(23) << "23 zil";
        QTest::newRow("25 lines") << good.repeated(25) << "24 satırdan fazla";
        QTest::newRow("bad time in line 3")
            << good.repeated(2) + "25:00:00 0 5\n" + good.repeated(21) << "satır 3";
        QTest::newRow("day code 9") << "08:00:00 9 5\n" + good.repeated(23) << "satır 1";
        QTest::newRow("duration 256")
            << good.repeated(5) + "08:00:00 1 256\n" + good.repeated(18) << "satır 6";
        QTest::newRow("missing field") << "08:00:00 1\n" + good.repeated(23) << "satır 1";
    }
    void badBellFileTouchesNoTerminal() {
        QFETCH(QString, content);
        QFETCH(QString, named);
        startTerminal();
        QFile file(folder_.filePath(QStringLiteral("bells.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content.toUtf8());
        file.close();
        const Run r = selvanor({"bells", "--terminal", "Merkez", "--set", file.fileName()});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(named), qPrintable(r.err));
        QCOMPARE(terminalTable(), sampleTable());
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::newRow("unknown terminal") << QStringList{"bells", "--terminal", "Şube", "--get"}
                                          << 2 << "Terminal bulunamadı: Şube";
        QTest::newRow("no action") << QStringList{"clock", "--terminal", "Merkez"} << 2 << "usage";
        QTest::newRow("both actions")
            << QStringList{"clock", "--terminal", "Merkez", "--get", "--set"} << 2 << "usage";
        QTest::newRow("set without file")
            << QStringList{"bells", "--terminal", "Merkez", "--set"} << 2 << "usage";
        QTest::newRow("no terminal") << QStringList{"bells", "--get"} << 2 << "usage";
    }
    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, err);
        startTerminal();
        const Run r = selvanor(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
    }

    void unreachableTerminal() {
        startTerminal();
        emulator_.stop();
        const Run r = selvanor({"clock", "--terminal", "Merkez", "--get"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Hata..Bağlantı Kurulamadı....")),
                 qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestMaintenanceCommands)
#include "test_maintenance_commands.moc"
