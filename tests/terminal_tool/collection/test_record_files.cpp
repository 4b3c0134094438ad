#include "record_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// True when another writer could take the file's lock right now.
bool lockFree(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

} // namespace

class TestRecordFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backupName_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("name");
        QTest::newRow("March 2011") << QDate(2011, 3, 5) << "032011.txt";
        QTest::newRow("April, one digit month") << QDate(2011, 4, 1) << "042011.txt";
        QTest::newRow("December") << QDate(2026, 12, 31) << "122026.txt";
    }
    void backupName() {
        QFETCH(QDate, today);
        QFETCH(QString, name);
        QCOMPARE(RecordFiles::backupFileName(today), name);
    }

    void appendsCrLfToEveryFile_data() {
        QTest::addColumn<bool>("secondFile");
        QTest::newRow("veri2 ticked") << true;
        QTest::newRow("veri2 unticked") << false;
    }
    void appendsCrLfToEveryFile() {
        QFETCH(bool, secondFile);
        QTemporaryDir dir;
        const QDate today(2011, 4, 2);
        QFile old(dir.filePath("veri.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier line\r\n");
        old.close();
        {
            RecordFiles files(dir.path(), secondFile, today);
            files.lock();
            files.appendLine(QStringLiteral("a"));
            files.appendLine(QStringLiteral("b"));
            files.sync();
            files.unlock();
        }
        QCOMPARE(contents(dir.filePath("veri.txt")), QByteArray("earlier line\r\na\r\nb\r\n"));
        QCOMPARE(contents(dir.filePath("yedek_selvanor/042011.txt")), QByteArray("a\r\nb\r\n"));
        QCOMPARE(QFile::exists(dir.filePath("veri2.txt")), secondFile);
        if (secondFile)
            QCOMPARE(contents(dir.filePath("veri2.txt")), QByteArray("a\r\nb\r\n"));
    }

    // Many lines go out in pieces; every one arrives whole and in order.
    void manyLinesStayInOrder() {
        QTemporaryDir dir;
        QByteArray expected;
        {
            RecordFiles files(dir.path(), false, QDate(2011, 3, 1));
            files.lock();
            for (int i = 0; i < 20000; ++i) {
                const QString line = QStringLiteral("%1 05.03.2011 08:30:05 01 00 10.0.0.1")
                                         .arg(i, 5, 10, QLatin1Char('0'));
                files.appendLine(line);
                expected += line.toLatin1() + "\r\n";
            }
            files.sync();
            files.unlock();
        }
        QCOMPARE(contents(dir.filePath("veri.txt")), expected);
    }

    void lockHeldWhileAppending() {
        QTemporaryDir dir;
        RecordFiles files(dir.path(), true, QDate(2011, 3, 1));
        files.lock();
        for (const char* name : {"veri.txt", "veri2.txt", "yedek_selvanor/032011.txt"})
            QVERIFY2(!lockFree(dir.filePath(name)), name);
        files.unlock();
        for (const char* name : {"veri.txt", "veri2.txt", "yedek_selvanor/032011.txt"})
            QVERIFY2(lockFree(dir.filePath(name)), name);
    }

    // A second writer waits for the first; its lines come after the first's, never between.
    void secondWriterWaits() {
        QTemporaryDir dir;
        RecordFiles first(dir.path(), false, QDate(2011, 3, 1));
        first.lock();
        first.appendLine(QStringLiteral("first 1"));
        std::atomic<bool> secondDone{false};
        std::thread other([&] {
            RecordFiles second(dir.path(), false, QDate(2011, 3, 1));
            second.lock();
            second.appendLine(QStringLiteral("second"));
            second.sync();
            second.unlock();
            secondDone = true;
        });
        QTest::qWait(200);
        QVERIFY(!secondDone);
        first.appendLine(QStringLiteral("first 2"));
        first.sync();
        first.unlock();
        other.join();
        QCOMPARE(contents(dir.filePath("veri.txt")),
                 QByteArray("first 1\r\nfirst 2\r\nsecond\r\n"));
    }

    void unopenableFileIsAnError() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("veri.txt")); // a folder where the file should be
        QVERIFY_THROWS_EXCEPTION(RecordFileError,
                                 RecordFiles(dir.path(), false, QDate(2011, 3, 1)));
    }

    // A full disk: the error names the file and is raised at the latest by sync().
    void fullDiskIsAnError() {
        QTemporaryDir dir;
        QVERIFY(QFile::link("/dev/full", dir.filePath("veri.txt")));
        RecordFiles files(dir.path(), false, QDate(2011, 3, 1));
        files.lock();
        files.appendLine(QStringLiteral("a"));
        try {
            files.sync();
            QFAIL("sync succeeded on a full disk");
        } catch (const RecordFileError& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("veri.txt")));
        }
    }

    void outOfRangeLinesKept() {
        QTemporaryDir dir;
        appendOutOfRangeLines(dir.path(), {QStringLiteral("x 01.01.2009"), QStringLiteral("y")});
        appendOutOfRangeLines(dir.path(), {QStringLiteral("z")});
        QCOMPARE(contents(dir.filePath("yedek_selvanor/tarih_disi.txt")),
                 QByteArray("x 01.01.2009\r\ny\r\nz\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestRecordFiles)
#include "test_record_files.moc"
