// Where a program keeps its files: --folder, a portable copy's own folder, or the user's
// data folder for an installed program.

#include "app_folder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestDataFolder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void choosesFolder_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("expected");
        QTest::newRow("portable copy") << QStringList{} << true << "/opt/selvano";
        QTest::newRow("installed") << QStringList{} << false << "/home/u/.local/share/selvanor";
        QTest::newRow("--folder over portable")
            << QStringList{"--folder", "/srv/pdks"} << true << "/srv/pdks";
        QTest::newRow("--folder= over installed")
            << QStringList{"collect", "--folder=/srv/pdks/", "--all"} << false << "/srv/pdks";
        QTest::newRow("last --folder counts")
            << QStringList{"--folder", "/a", "--folder", "/b"} << false << "/b";
        QTest::newRow("--folder without value")
            << QStringList{"--folder"} << false << "/home/u/.local/share/selvanor";
        QTest::newRow("relative --folder")
            << QStringList{"--folder", "veri"} << false << QDir::current().filePath("veri");
    }
    void choosesFolder() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, portable);
        QFETCH(QString, expected);
        QCOMPARE(chooseProgramFolder(arguments, QStringLiteral("/opt/selvano"), portable,
                                     QStringLiteral("/home/u/.local/share/selvanor")),
                 expected);
    }

    void portableOnlyOutsideSystemFolders() {
        QTemporaryDir dir;
        QVERIFY(isPortableFolder(dir.path()));
        QVERIFY(!isPortableFolder(dir.filePath(QStringLiteral("missing"))));
        // Root can write to /usr/bin, yet an installed program must not keep files there.
        QVERIFY(!isPortableFolder(QStringLiteral("/usr/bin")));
        QVERIFY(!isPortableFolder(QStringLiteral("/usr/local/bin/../bin")));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("usr"))));
        QVERIFY(isPortableFolder(dir.filePath(QStringLiteral("usr"))));
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "test_data_folder.moc"
