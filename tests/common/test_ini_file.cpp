#include "ini_file.h"
#include "test_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Turkish text as a Windows editor saves it (Windows-1254): "Şirket Ağı".
const QByteArray kTurkish1254("\xDE"
                              "irket A\xF0\xFD");

} // namespace

// One change: section, key, value.
using Change = QStringList;
Q_DECLARE_METATYPE(QList<Change>)

class TestIniFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void setValueChangesOnlyItsLine_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<Change>>("changes");
        QTest::addColumn<QByteArray>("after");

        const QByteArray settings =
            "; ayarlar\r\n[Login]\r\nServer=10.0.0.5\r\nDatabase=" + kTurkish1254 +
            "\r\n\r\n[Options]\r\nveriDosya2=1\r\n" +
            "veriSil=1\r\ndorvak=1\r\n\r\n[MySql]\r\nUser=root\r\n";
        QTest::newRow("replace in CRLF file, other sections and 1254 text kept")
            << settings
            << QList<Change>{{"Options", "veriDosya2", "0"},
                             {"Options", "veriSil", "0"},
                             {"Options", "dorvak", ""}}
            << QByteArray("; ayarlar\r\n[Login]\r\nServer=10.0.0.5\r\nDatabase=" + kTurkish1254 +
                          "\r\n\r\n[Options]\r\nveriDosya2=0\r\nveriSil=0\r\ndorvak=\r\n\r\n"
                          "[MySql]\r\nUser=root\r\n");
        QTest::newRow("missing keys go after the section's last entry")
            << QByteArray("[Options]\r\nveriSil=1\r\n\r\n[MySql]\r\nPort=3306\r\n")
            << QList<Change>{{"Options", "veriDosya2", "1"}, {"Options", "dorvak", ""}}
            << QByteArray("[Options]\r\nveriSil=1\r\nveriDosya2=1\r\ndorvak=\r\n\r\n[MySql]\r\n"
                          "Port=3306\r\n");
        QTest::newRow("missing section appended after a blank line")
            << QByteArray("[Login]\nServer=x\n") << QList<Change>{{"Options", "veriSil", "1"}}
            << QByteArray("[Login]\nServer=x\n\n[Options]\nveriSil=1\n");
        QTest::newRow("file without a final line end keeps none")
            << QByteArray("[Options]\r\nveriSil=1") << QList<Change>{{"Options", "dorvak", "1"}}
            << QByteArray("[Options]\r\nveriSil=1\r\ndorvak=1");
        QTest::newRow("new file is written with CRLF")
            << QByteArray() << QList<Change>{{"Options", "veriDosya2", "1"}}
            << QByteArray("[Options]\r\nveriDosya2=1\r\n");
        QTest::newRow("mixed line ends stay as each line had them")
            << QByteArray("[A]\nx=1\r\n[Options]\nveriSil=1\r\ny=2\n")
            << QList<Change>{{"Options", "veriSil", "0"}}
            << QByteArray("[A]\nx=1\r\n[Options]\nveriSil=0\r\ny=2\n");
        QTest::newRow("byte order mark before the first section")
            << QByteArray("\xEF\xBB\xBF[Options]\r\nveriSil=1\r\n")
            << QList<Change>{{"Options", "veriSil", "0"}}
            << QByteArray("\xEF\xBB\xBF[Options]\r\nveriSil=0\r\n");
        QTest::newRow("names match in any case, spelling before = kept")
            << QByteArray("[OPTIONS]\r\n  VeriSil = 1\r\n")
            << QList<Change>{{"Options", "veriSil", "0"}}
            << QByteArray("[OPTIONS]\r\n  VeriSil =0\r\n");
        QTest::newRow("commented key is not the key")
            << QByteArray("[Options]\r\n;veriSil=1\r\n")
            << QList<Change>{{"Options", "veriSil", "0"}}
            << QByteArray("[Options]\r\n;veriSil=1\r\nveriSil=0\r\n");
        QTest::newRow("first of repeated sections is changed")
            << QByteArray("[Options]\r\nveriSil=1\r\n[Options]\r\nveriSil=1\r\n")
            << QList<Change>{{"Options", "veriSil", "0"}}
            << QByteArray("[Options]\r\nveriSil=0\r\n[Options]\r\nveriSil=1\r\n");
    }
    void setValueChangesOnlyItsLine() {
        QFETCH(QByteArray, before);
        QFETCH(QList<Change>, changes);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath("Settings.ini");
        if (!before.isEmpty())
            QVERIFY(writeFileBytes(path, before));
        IniFile ini(path);
        QVERIFY(ini.load());
        for (const Change& c : changes)
            ini.setValue(c[0], c[1], c[2]);
        QString error;
        QVERIFY2(ini.save(&error), qPrintable(error));
        QCOMPARE(readFileBytes(path), after);
    }

    void value_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray content = "[Login]\r\nServer = 10.0.0.5 \r\nDatabase=" + kTurkish1254 +
                                   "\r\nUser=\"ali veli\"\r\n;Port=1\r\n[MySql]\r\nPort=3306\r\n"
                                   "Password=\xC3\xBC\r\nEmpty=\r\n";
        QTest::newRow("blanks around the value trimmed") << content << "Login"
                                                         << "Server"
                                                         << "10.0.0.5";
        QTest::newRow("Windows-1254 text decoded") << content << "login"
                                                   << "DATABASE" << QStringLiteral("Şirket Ağı");
        QTest::newRow("UTF-8 text decoded") << content << "MySql"
                                            << "Password" << QStringLiteral("ü");
        QTest::newRow("quotes removed") << content << "Login"
                                        << "User"
                                        << "ali veli";
        QTest::newRow("commented key missing") << content << "Login"
                                               << "Port"
                                               << "<default>";
        QTest::newRow("key of another section missing") << content << "MySql"
                                                        << "Server"
                                                        << "<default>";
        QTest::newRow("empty value is empty") << content << "MySql"
                                              << "Empty"
                                              << "";
        QTest::newRow("missing section") << content << "Options"
                                         << "veriSil"
                                         << "<default>";
        QTest::newRow("missing file") << QByteArray() << "Options"
                                      << "veriSil"
                                      << "<default>";
    }
    void value() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("Settings.ini");
        if (!content.isEmpty())
            QVERIFY(writeFileBytes(path, content));
        IniFile ini(path);
        QVERIFY(ini.load());
        QCOMPARE(ini.value(section, key, QStringLiteral("<default>")), expected);
    }

    void saveFailureLeavesNoFileAndSaysWhy() {
        QTemporaryDir dir;
        IniFile ini(dir.filePath("missing-folder/Settings.ini"));
        QVERIFY(ini.load());
        ini.setValue("Options", "veriSil", "1");
        QString error;
        QVERIFY(!ini.save(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("missing-folder/Settings.ini")));
    }

    void unreadableFileIsAnError() {
        QTemporaryDir dir;
        // A folder where the file should be cannot be read as one.
        QVERIFY(QDir(dir.path()).mkdir("Settings.ini"));
        IniFile ini(dir.filePath("Settings.ini"));
        QString error;
        QVERIFY(!ini.load(&error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
