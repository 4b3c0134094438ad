#include "conversion.h"
#include "conversion_error.h"
#include "scripted_prompt.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString dataFile(const QString& name) {
    return qEnvironmentVariable("SELVANO_SOURCE_DIR") + QStringLiteral("/tests/data/xls/") + name;
}

// What the four records of the fixtures become.
const QStringList RecordLines = {
    QStringLiteral("00123 05.03.2011 08:30:00 01"),
    QStringLiteral("00007 05.03.2011 17:45:09 01"),
    QStringLiteral("1234567 06.03.2011 00:00:00 12"),
    QStringLiteral("00042 31.12.2010 23:59:59 03"),
};

const QByteArray EarlierContent = "00001 01.01.2011 07:00:00 01 00 10.0.0.1\r\n";

QByteArray crlfLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TextFormats conversionFormats() {
    TextFormats formats;
    applyConversionTextFormats(formats);
    return formats;
}

class LastStep : public Progress {
public:
    void step(qint64 done, qint64 total) override {
        last = {done, total};
        ++steps;
    }
    QPair<qint64, qint64> last{-1, -1};
    int steps = 0;
};

// A program folder that already holds a veri.txt line, and the input files made on the fly.
class Folder {
public:
    Folder() { writeFile(veri(), EarlierContent); }
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString veri() const { return dir_.filePath(QStringLiteral("veri.txt")); }
    QString input(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

} // namespace

class TestConversion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formats() {
        TextFormats formats;
        formats.longTimeFormat = QStringLiteral("HH:nn:ss");
        formats.thousandSeparator = QLatin1Char(',');
        formats.decimalSeparator = QLatin1Char(',');
        formats.shortDateFormat = QStringLiteral("yyyy-mm-dd");
        applyConversionTextFormats(formats);
        QCOMPARE(formats.thousandSeparator, QChar());
        QCOMPARE(formats.decimalSeparator, QLatin1Char('.'));
        QCOMPARE(formats.dateSeparator, QLatin1Char('.'));
        QCOMPARE(formats.timeSeparator, QLatin1Char(':'));
        QCOMPARE(formats.shortDateFormat, QStringLiteral("dd.mm.yyyy"));
        QCOMPARE(formats.longDateFormat, QStringLiteral("dddd, dd mmmm yyyy"));
        QCOMPARE(formats.longTimeFormat, QStringLiteral("HH:nn:ss")); // left as it was
    }

    void cellText_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << int(SheetCell::Kind::Integer) << "7"
                                 << "7";
        QTest::newRow("whole number") << int(SheetCell::Kind::Number) << "123"
                                      << "123";
        QTest::newRow("decimal") << int(SheetCell::Kind::Number) << "1.5"
                                 << "1.5";
        QTest::newRow("no thousands separator") << int(SheetCell::Kind::Number) << "1234567"
                                                << "1234567";
        QTest::newRow("no exponent") << int(SheetCell::Kind::Number) << "1e+20"
                                     << "100000000000000000000";
        QTest::newRow("shortest decimal") << int(SheetCell::Kind::Number) << "0.10000000000000001"
                                          << "0.1";
        QTest::newRow("date and time") << int(SheetCell::Kind::DateTime) << "2011-03-05 08:30:00"
                                       << "05.03.2011 08:30:00";
        QTest::newRow("midnight keeps its time")
            << int(SheetCell::Kind::DateTime) << "2011-03-06 00:00:00"
            << "06.03.2011 00:00:00";
        QTest::newRow("date") << int(SheetCell::Kind::Date) << "2011-03-05"
                              << "05.03.2011";
        QTest::newRow("time") << int(SheetCell::Kind::Time) << "08:30:00"
                              << "08:30:00";
        QTest::newRow("text as it is") << int(SheetCell::Kind::Text) << " 05.03.2011 x"
                                       << " 05.03.2011 x";
        QTest::newRow("empty") << int(SheetCell::Kind::Empty) << ""
                               << "";
    }
    void cellText() {
        QFETCH(int, kind);
        QFETCH(QString, value);
        QFETCH(QString, text);
        QCOMPARE(exportCellText({SheetCell::Kind(kind), value}, conversionFormats()), text);
    }

    void recordLine_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("line");
        QTest::newRow("example") << "1"
                                 << "123"
                                 << "05.03.2011 08:30:00"
                                 << "00123 05.03.2011 08:30:00 01";
        QTest::newRow("user 7") << "1"
                                << "7"
                                << "05.03.2011 08:30:00"
                                << "00007 05.03.2011 08:30:00 01";
        QTest::newRow("seven digits whole") << "1"
                                            << "1234567"
                                            << "05.03.2011 08:30:00"
                                            << "1234567 05.03.2011 08:30:00 01";
        QTest::newRow("long field whole") << "123"
                                          << "5"
                                          << "05.03.2011 08:30:00"
                                          << "00005 05.03.2011 08:30:00 123";
        QTest::newRow("empty field") << ""
                                     << "5"
                                     << "05.03.2011 08:30:00"
                                     << "00005 05.03.2011 08:30:00 00";
        QTest::newRow("zeros kept") << "01"
                                    << "00042"
                                    << "31.12.2010 23:59:59"
                                    << "00042 31.12.2010 23:59:59 01";
        QTest::newRow("trailing blanks") << "1"
                                         << "5"
                                         << "05.03.2011 08:30:00  "
                                         << "00005 05.03.2011 08:30:00 01";
    }
    void recordLine() {
        QFETCH(QString, field);
        QFETCH(QString, user);
        QFETCH(QString, dateTime);
        QFETCH(QString, line);
        QCOMPARE(exportRecordLine(field, user, dateTime, 2), line);
    }

    void rejectsRow_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("message");
        const QString ok = QStringLiteral("05.03.2011 08:30:00");
        QTest::newRow("no user") << "1"
                                 << "" << ok << "sicil numarası yok";
        QTest::newRow("blank in user") << "1"
                                       << "12 3" << ok << "boşluk";
        QTest::newRow("line end in user") << "1"
                                          << "12\r\n00009" << ok << "boşluk";
        QTest::newRow("control in field") << "1\x01"
                                          << "5" << ok << "denetim karakteri";
        QTest::newRow("no date") << "1"
                                 << "5"
                                 << ""
                                 << "tarih-saat yok";
        QTest::newRow("blank date") << "1"
                                    << "5"
                                    << "   "
                                    << "tarih-saat yok";
        QTest::newRow("short form") << "1"
                                    << "5"
                                    << "5.3.2011 8:30"
                                    << "geçerli değil";
        QTest::newRow("date only") << "1"
                                   << "5"
                                   << "05.03.2011"
                                   << "geçerli değil";
        QTest::newRow("no such day") << "1"
                                     << "5"
                                     << "32.01.2011 08:30:00"
                                     << "geçerli değil";
        QTest::newRow("no such month") << "1"
                                       << "5"
                                       << "05.13.2011 08:30:00"
                                       << "geçerli değil";
        QTest::newRow("no such hour") << "1"
                                      << "5"
                                      << "05.03.2011 24:00:00"
                                      << "geçerli değil";
        QTest::newRow("ISO form") << "1"
                                  << "5"
                                  << "2011-03-05 08:30:00"
                                  << "geçerli değil";
        QTest::newRow("other separator") << "1"
                                         << "5"
                                         << "05.03.2011T08:30:00"
                                         << "geçerli değil";
        QTest::newRow("more after the time") << "1"
                                             << "5"
                                             << "05.03.2011 08:30:00 x"
                                             << "geçerli değil";
    }
    void rejectsRow() {
        QFETCH(QString, field);
        QFETCH(QString, user);
        QFETCH(QString, dateTime);
        QFETCH(QString, message);
        try {
            exportRecordLine(field, user, dateTime, 7);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::BadSheet);
            QVERIFY2(e.text().startsWith(QStringLiteral("Satır 7: ")), qPrintable(e.text()));
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
    }

    // The same records as a workbook with dates as text, as one with date cells, and as the
    // terminal's own CSV (comma or semicolon) give the same lines.
    void converts_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("csv"); // written to the program folder when not empty
        QTest::newRow("workbook, dates as text")
            << dataFile("records-text-dates.xls") << QByteArray();
        QTest::newRow("workbook, date cells") << dataFile("records-date-cells.xls") << QByteArray();
        QTest::newRow("CSV") << dataFile("csv/records.csv") << QByteArray();
        QFile records(dataFile("csv/records.csv"));
        QVERIFY(records.open(QIODevice::ReadOnly));
        const QByteArray csv = records.readAll();
        QTest::newRow("CSV with semicolons") << "export.CSV" << QByteArray(csv).replace(',', ';');
        QTest::newRow("CSV with blank lines")
            << "blank.csv" << QByteArray(csv).replace("\r\n2,", "\r\n\r\n2,") + "\r\n\r\n";
    }
    void converts() {
        QFETCH(QString, source);
        QFETCH(QByteArray, csv);
        Folder folder;
        if (!csv.isEmpty()) {
            source = folder.input(source);
            writeFile(source, csv);
        }
        ScriptedPrompt prompt;
        LineCollector memo;
        memo.addLine(QStringLiteral("a line of an earlier download"));
        LastStep progress;
        const auto lines =
            convertExportFile(folder.path(), source, conversionFormats(), prompt, memo, progress);
        QCOMPARE(lines, std::optional<int>(4));
        QCOMPARE(prompt.texts(), QStringList());
        QCOMPARE(memo.lines(), RecordLines);
        QCOMPARE(readAll(folder.veri()), EarlierContent + crlfLines(RecordLines));
        QCOMPARE(progress.last,
                 (QPair<qint64, qint64>(progress.last.second, progress.last.second)));
        QVERIFY(progress.last.second >= 4);
        // Nothing goes to the second record file or the monthly backup.
        QVERIFY(!QFile::exists(folder.input(QStringLiteral("veri2.txt"))));
        QVERIFY(!QFile::exists(folder.input(QStringLiteral("yedek_selvanor"))));
    }

    void titleRowOnly_data() {
        QTest::addColumn<QString>("source");
        QTest::newRow("workbook") << dataFile("title-only.xls");
        QTest::newRow("CSV") << dataFile("csv/title-only.csv");
    }
    void titleRowOnly() {
        QFETCH(QString, source);
        Folder folder;
        ScriptedPrompt prompt;
        LineCollector memo;
        memo.addLine(QStringLiteral("a line of an earlier download"));
        NullProgress progress;
        QCOMPARE(
            convertExportFile(folder.path(), source, conversionFormats(), prompt, memo, progress),
            std::optional<int>(0));
        QCOMPARE(prompt.texts(), QStringList());
        QCOMPARE(memo.lines(), QStringList());
        QCOMPARE(readAll(folder.veri()), EarlierContent);
    }

    void twiceAppendsTwice() {
        Folder folder;
        QFile::remove(folder.veri());
        ScriptedPrompt prompt;
        LineCollector memo;
        NullProgress progress;
        for (int run = 0; run < 2; ++run)
            QCOMPARE(convertExportFile(folder.path(), dataFile("records-date-cells.xls"),
                                       conversionFormats(), prompt, memo, progress),
                     std::optional<int>(4));
        QCOMPARE(memo.lines(), RecordLines);
        QCOMPARE(readAll(folder.veri()), crlfLines(RecordLines + RecordLines));
    }

    // Each bad input gives a clear message, leaves veri.txt as it was and this process alive.
    void rejectsFile_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("content"); // written to the program folder when not empty
        QTest::addColumn<bool>("cannotOpen");    // "Hata....Excele bağlanamadı..." first
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("memo");
        const QStringList earlier = {QStringLiteral("a line of an earlier download")};
        const QStringList none;
        const QByteArray title = "No,Makine,Sicil,Ad,Kart,Mod,GC,Dog,Tarih\r\n";
        QTest::newRow("not a workbook") << "text.xls" << QByteArray("just some text\n") << true
                                        << "Excel 97-2003 çalışma kitabı değil" << earlier;
        QTest::newRow("empty workbook")
            << "empty.xls" << QByteArray() << true << "dosya boş" << earlier;
        QTest::newRow("missing file")
            << "/nonexistent/export.xls" << QByteArray() << true << "dosya yok" << earlier;
        QTest::newRow("no Sayfa1") << dataFile("no-sayfa1.xls") << QByteArray() << false
                                   << "\"Sayfa1\" adlı sayfa yok" << earlier;
        QTest::newRow("eight columns")
            << dataFile("narrow.xls") << QByteArray() << false << "en az 9 sütun" << none;
        QTest::newRow("malformed date")
            << dataFile("malformed-date.xls") << QByteArray() << false
            << "Satır 3: 9. sütundaki tarih-saat \"5.3.2011 8:30\" geçerli değil"
            << QStringList{QStringLiteral("00123 05.03.2011 08:30:00 01")};
        QTest::newRow("crash") << dataFile("hostile/two-dimension-records.xls") << QByteArray()
                               << true << "Excel 97-2003 çalışma kitabı değil" << earlier;
        QTest::newRow("4 GB") << dataFile("hostile/repeated-dimension-records.xls") << QByteArray()
                              << true << ": " << earlier;
        QTest::newRow("no handle") << dataFile("hostile/label-length-overrun.xls") << QByteArray()
                                   << true << ": " << earlier;
        QTest::newRow("over-read") << dataFile("hostile/directory-name-overrun.xls") << QByteArray()
                                   << true << ": " << earlier;
        QTest::newRow("CSV, empty")
            << "empty.csv" << QByteArray() << false << "CSV dosyası boş" << earlier;
        QTest::newRow("CSV, eight columns")
            << dataFile("csv/narrow.csv") << QByteArray() << false << "en az 9 sütun" << none;
        QTest::newRow("CSV, malformed date")
            << dataFile("csv/malformed-date.csv") << QByteArray() << false
            << "Satır 3: " << QStringList{QStringLiteral("00123 05.03.2011 08:30:00 01")};
        QTest::newRow("CSV, no date") << "nodate.csv" << title + "1,1,5,A,0,1,0,1,\r\n"
                                      << false << "Satır 2: 9. sütunda tarih-saat yok" << none;
        QTest::newRow("CSV, short row") << "short.csv" << title + "1,1,5\r\n"
                                        << false << "Satır 2: 9. sütunda tarih-saat yok" << none;
        QTest::newRow("CSV, no user")
            << "nouser.csv" << title + "1,1,,A,0,1,0,1,05.03.2011 08:30:00\r\n"
            << false << "Satır 2: 3. sütunda sicil numarası yok" << none;
        QTest::newRow("CSV, open quote")
            << "quote.csv" << title + "1,1,\"5,A,0,1,0,1,05.03.2011 08:30:00\r\n"
            << false << "tırnak kapanmıyor" << earlier;
        QTest::newRow("CSV, far too wide")
            << "wide.csv" << title + QByteArray(1000, ',') << false << "sayfa çok büyük" << earlier;
    }
    void rejectsFile() {
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QFETCH(bool, cannotOpen);
        QFETCH(QString, reason);
        QFETCH(QStringList, memo);
        Folder folder;
        if (!source.contains(QLatin1Char('/'))) {
            source = folder.input(source);
            writeFile(source, content);
        }
        ScriptedPrompt prompt;
        LineCollector lines;
        lines.addLine(QStringLiteral("a line of an earlier download"));
        NullProgress progress;
        QCOMPARE(
            convertExportFile(folder.path(), source, conversionFormats(), prompt, lines, progress),
            std::nullopt);
        const QList<ScriptedPrompt::Entry> entries = prompt.entries();
        QCOMPARE(entries.size(), cannotOpen ? 2 : 1);
        if (cannotOpen) {
            QCOMPARE(entries.first().kind, ScriptedPrompt::Kind::Message);
            QCOMPARE(entries.first().text, QStringLiteral("Hata....Excele bağlanamadı..."));
        }
        QCOMPARE(entries.last().kind, ScriptedPrompt::Kind::Error);
        QVERIFY2(entries.last().text.contains(reason), qPrintable(entries.last().text));
        QCOMPARE(lines.lines(), memo);
        QCOMPARE(readAll(folder.veri()), EarlierContent);
    }

    void recordFileError() {
        Folder folder;
        QFile::remove(folder.veri());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("veri.txt"))); // cannot be opened
        ScriptedPrompt prompt;
        LineCollector memo;
        NullProgress progress;
        QCOMPARE(convertExportFile(folder.path(), dataFile("csv/records.csv"), conversionFormats(),
                                   prompt, memo, progress),
                 std::nullopt);
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Error).size(), 1);
        QVERIFY(prompt.texts().first().contains(QLatin1String("veri.txt")));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("converts") << QStringList{dataFile("records-date-cells.xls")} << 0 << "4\n"
                                  << "";
        QTest::newRow("title row only") << QStringList{dataFile("title-only.xls")} << 0 << "0\n"
                                        << "";
        QTest::newRow("damaged") << QStringList{dataFile("hostile/label-length-overrun.xls")} << 1
                                 << ""
                                 << "Hata....Excele bağlanamadı...\n" +
                                        dataFile("hostile/label-length-overrun.xls") +
                                        ": çalışma kitabı bozuk (açıldı ama kullanılamıyor)\n";
        QTest::newRow("bad row") << QStringList{dataFile("malformed-date.xls")} << 1 << ""
                                 << "Satır 3: ";
        QTest::newRow("no file") << QStringList() << 2 << ""
                                 << "usage: selvanor convert";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        Folder folder;
        QProcess selvanor;
        selvanor.start(
            qEnvironmentVariable("SELVANO_BIN_DIR") + QStringLiteral("/selvanor"),
            QStringList{QStringLiteral("convert"), QStringLiteral("--folder"), folder.path()} +
                arguments);
        QVERIFY(selvanor.waitForFinished(60000));
        QCOMPARE(selvanor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(selvanor.exitCode(), status);
        QCOMPARE(QString::fromUtf8(selvanor.readAllStandardOutput()), out);
        const QString errors = QString::fromUtf8(selvanor.readAllStandardError());
        QVERIFY2(err.isEmpty() ? errors.isEmpty() : errors.startsWith(err), qPrintable(errors));
        QCOMPARE(readAll(folder.veri()),
                 EarlierContent + (out == QLatin1String("4\n") ? crlfLines(RecordLines) : ""));
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "test_conversion.moc"
