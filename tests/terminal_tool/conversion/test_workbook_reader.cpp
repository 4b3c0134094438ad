#include "conversion_error.h"
#include "workbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ConversionError::Kind)

namespace {

QString dataFile(const QString& name) {
    return qEnvironmentVariable("SELVANO_SOURCE_DIR") + QStringLiteral("/tests/data/xls/") + name;
}

QString render(const Sheet& sheet) {
    QStringList rows;
    for (int row = 0; row < sheet.rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < sheet.columns(); ++column) {
            const SheetCell& cell = sheet.cell(row, column);
            cells << QString(QLatin1Char("NIFSDXT"[int(cell.kind)])) + cell.value;
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

} // namespace

class TestWorkbookReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parsesOutput_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every kind") << QByteArray("selvanor-xls-cells 1\n2 4\n"
                                                  "N0:I2:-7F4:1.25S4:A\xC5\x9F"
                                                  "b"
                                                  "D10:2011-03-05X19:2011-03-05 08:30:00"
                                                  "T8:08:30:00S0:end\n")
                                    << "N|I-7|F1.25|SAşb\n"
                                       "D2011-03-05|X2011-03-05 08:30:00|T08:30:00|S";
        QTest::newRow("no rows") << QByteArray("selvanor-xls-cells 1\n0 0\nend\n") << "";
        QTest::newRow("text holding the frame's own bytes")
            << QByteArray("selvanor-xls-cells 1\n1 1\nS8:end\nS1:xend\n") << "Send\nS1:x";
    }
    void parsesOutput() {
        QFETCH(QByteArray, output);
        QFETCH(QString, expected);
        QCOMPARE(render(parseReaderOutput(output)), expected);
    }

    void rejectsOutput_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<ConversionError::Kind>("kind");
        const auto broken = ConversionError::Kind::CannotOpen;
        QTest::newRow("nothing") << QByteArray() << broken;
        QTest::newRow("other version") << QByteArray("selvanor-xls-cells 2\n0 0\nend\n") << broken;
        QTest::newRow("size not a number")
            << QByteArray("selvanor-xls-cells 1\nx 1\nend\n") << broken;
        QTest::newRow("size overflows")
            << QByteArray("selvanor-xls-cells 1\n99999999999999999999999 1\nend\n") << broken;
        QTest::newRow("fewer cells than the size says")
            << QByteArray("selvanor-xls-cells 1\n1 2\nI1:7end\n") << broken;
        QTest::newRow("large size, short answer")
            << QByteArray("selvanor-xls-cells 1\n65536 64\nend\n") << broken;
        QTest::newRow("length past the end")
            << QByteArray("selvanor-xls-cells 1\n1 1\nS99:abcend\n") << broken;
        QTest::newRow("length overflows")
            << QByteArray("selvanor-xls-cells 1\n1 1\nS99999999999999999999:aend\n") << broken;
        QTest::newRow("unknown kind")
            << QByteArray("selvanor-xls-cells 1\n1 1\nZ1:aend\n") << broken;
        QTest::newRow("integer that is not one")
            << QByteArray("selvanor-xls-cells 1\n1 1\nI2:abend\n") << broken;
        QTest::newRow("number not finite")
            << QByteArray("selvanor-xls-cells 1\n1 1\nF3:infend\n") << broken;
        QTest::newRow("empty cell with bytes")
            << QByteArray("selvanor-xls-cells 1\n1 1\nN1:aend\n") << broken;
        QTest::newRow("no end") << QByteArray("selvanor-xls-cells 1\n1 1\nI1:7") << broken;
        QTest::newRow("bytes after the end")
            << QByteArray("selvanor-xls-cells 1\n1 1\nI1:7end\nx") << broken;
        QTest::newRow("more rows than a sheet holds")
            << QByteArray("selvanor-xls-cells 1\n65537 1\nend\n")
            << ConversionError::Kind::BadSheet;
        QTest::newRow("more columns than a sheet holds")
            << QByteArray("selvanor-xls-cells 1\n1 257\nend\n") << ConversionError::Kind::BadSheet;
    }
    void rejectsOutput() {
        QFETCH(QByteArray, output);
        QFETCH(ConversionError::Kind, kind);
        try {
            parseReaderOutput(output);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), kind);
            QVERIFY(!e.text().isEmpty());
        }
    }

    void readsWorkbooks_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("firstRecord");
        // LibreOffice stores the numbers as numbers; column 9 as the text or as a date cell.
        QTest::newRow("dates as text")
            << "records-text-dates.xls"
            << "I1|I1|I123|SAyşe Yılmaz|I0|I1|I0|I1|S05.03.2011 08:30:00";
        QTest::newRow("dates as date cells")
            << "records-date-cells.xls"
            << "I1|I1|I123|SAyşe Yılmaz|I0|I1|I0|I1|X2011-03-05 08:30:00";
    }
    void readsWorkbooks() {
        QFETCH(QString, file);
        QFETCH(QString, firstRecord);
        const Sheet sheet = readWorkbookSheet(dataFile(file), QStringLiteral("Sayfa1"));
        QCOMPARE(sheet.rows(), 5);
        QCOMPARE(sheet.columns(), 9);
        QCOMPARE(render(sheet).split(QLatin1Char('\n')).value(1), firstRecord);
    }

    void sheetNameIgnoresCase() {
        const Sheet sheet =
            readWorkbookSheet(dataFile(QStringLiteral("title-only.xls")), QStringLiteral("SAYFA1"));
        QCOMPARE(sheet.rows(), 1);
    }

    // Each file trips a fault of the workbook library: a crash, a 4 GB allocation, an open
    // without a handle, an over-read. selvanor gets a clear reason and goes on.
    void survivesBadFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ConversionError::Kind>("kind");
        QTest::addColumn<QString>("reason");
        const auto cannotOpen = ConversionError::Kind::CannotOpen;
        // Plain BIFF streams (no Excel 97-2003 container) never reach the library.
        QTest::newRow("crash") << "hostile/two-dimension-records.xls" << cannotOpen
                               << "Excel 97-2003 çalışma kitabı değil";
        QTest::newRow("4 GB") << "hostile/repeated-dimension-records.xls" << cannotOpen
                              << "Excel 97-2003 çalışma kitabı değil";
        QTest::newRow("no handle")
            << "hostile/label-length-overrun.xls" << cannotOpen << "açıldı ama kullanılamıyor";
        QTest::newRow("over-read") << "hostile/directory-name-overrun.xls" << cannotOpen << "bozuk";
        QTest::newRow("not a workbook")
            << "csv/records.csv" << cannotOpen << "Excel 97-2003 çalışma kitabı değil";
        QTest::newRow("missing") << "no-such-file.xls" << cannotOpen << "dosya yok";
        QTest::newRow("no Sayfa1")
            << "no-sayfa1.xls" << ConversionError::Kind::BadSheet << "\"Sayfa1\" adlı sayfa yok";
    }
    void survivesBadFiles() {
        QFETCH(QString, file);
        QFETCH(ConversionError::Kind, kind);
        QFETCH(QString, reason);
        try {
            readWorkbookSheet(dataFile(file), QStringLiteral("Sayfa1"));
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), kind);
            QVERIFY2(e.text().startsWith(dataFile(file) + QStringLiteral(": ")),
                     qPrintable(e.text()));
            QVERIFY2(e.text().contains(reason) && e.text().size() > dataFile(file).size() + 4,
                     qPrintable(e.text()));
        }
    }

    void emptyFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("empty.xls"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        try {
            readWorkbookSheet(path, QStringLiteral("Sayfa1"));
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::CannotOpen);
            QVERIFY2(e.text().endsWith(QStringLiteral("dosya boş")), qPrintable(e.text()));
        }
    }

    // Readers that misbehave in the ways a damaged file can make the real one misbehave.
    void limitsAReader_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reason");
        QTest::newRow("hangs") << "exec sleep 60"
                               << "1 saniyede okunamadı";
        QTest::newRow("spins") << "while :; do :; done"
                               << "işlemci süresi sınırı aşıldı";
        QTest::newRow("crashes") << "kill -SEGV $$"
                                 << "çöktü (sinyal 11";
        QTest::newRow("floods") << "exec yes"
                                << "çok büyük";
        QTest::newRow("garbage") << "echo garbage"
                                 << "yanıtı bozuk";
        QTest::newRow("odd status") << "echo why >&2; exit 7"
                                    << "7 koduyla bitti: why";
    }
    void limitsAReader() {
        QFETCH(QString, script);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString reader = dir.filePath(QStringLiteral("reader.sh"));
        QFile file(reader);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script.toUtf8() + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        WorkbookReaderOptions options;
        options.readerPath = reader;
        options.cpuSeconds = 1;
        options.wallSeconds = script.contains(QLatin1String("sleep")) ? 1 : 30;
        options.outputBytes = 4096;
        try {
            readWorkbookSheet(dataFile(QStringLiteral("title-only.xls")), QStringLiteral("Sayfa1"),
                              options);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::CannotOpen);
            QVERIFY2(e.text().contains(reason), qPrintable(e.text()));
        }
    }

    // A reader that would take 200 MB is stopped by the memory limit instead of answering.
    void memoryLimit() {
        if (!readerMemoryIsLimited())
            QSKIP("no address-space limit in sanitizer builds");
        QTemporaryDir dir;
        const QString reader = dir.filePath(QStringLiteral("reader.sh"));
        QFile file(reader);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nx=$(head -c 200000000 /dev/zero | tr '\\0' a)\necho ${#x}\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        WorkbookReaderOptions options;
        options.readerPath = reader;
        options.memoryBytes = qint64(64) << 20;
        try {
            readWorkbookSheet(dataFile(QStringLiteral("title-only.xls")), QStringLiteral("Sayfa1"),
                              options);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::CannotOpen);
            QVERIFY2(!e.text().contains(QStringLiteral("yanıtı bozuk")), qPrintable(e.text()));
        }
    }

    void readerMissing() {
        WorkbookReaderOptions options;
        options.readerPath = QStringLiteral("/nonexistent/selvanor-xls-reader");
        try {
            readWorkbookSheet(dataFile(QStringLiteral("title-only.xls")), QStringLiteral("Sayfa1"),
                              options);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::CannotOpen);
            QVERIFY2(e.text().contains(QStringLiteral("başlatılamadı")), qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbookReader)
#include "test_workbook_reader.moc"
