#include "record_line.h"
#include "sdk.h"

#include <QTest>

class TestRecordLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { applyRecordTextFormats(); }

    void line_data() {
        QTest::addColumn<QString>("enroll");
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<int>("machine");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("blanks");
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QString>("dorvak");
        const QDateTime march(QDate(2011, 3, 5), QTime(8, 30, 5));
        QTest::newRow("reference record")
            << "123" << march << 1 << 0 << 1 << "00123 05.03.2011 08:30:05 01 00 192.168.0.100"
            << "001,0000000123,0,2011-03-05 08:30:05";
        QTest::newRow("bulk run: two blanks before the address")
            << "123" << march << 1 << 0 << 2 << "00123 05.03.2011 08:30:05 01 00  192.168.0.100"
            << "001,0000000123,0,2011-03-05 08:30:05";
        QTest::newRow("six-digit number written whole")
            << "123456" << march << 1 << 0 << 1 << "123456 05.03.2011 08:30:05 01 00 192.168.0.100"
            << "001,0000123456,0,2011-03-05 08:30:05";
        QTest::newRow("eleven-digit number never cut")
            << "12345678901" << march << 1 << 0 << 1
            << "12345678901 05.03.2011 08:30:05 01 00 192.168.0.100"
            << "001,12345678901,0,2011-03-05 08:30:05";
        QTest::newRow("machine 100")
            << "7" << march << 100 << 0 << 1 << "00007 05.03.2011 08:30:05 100 00 192.168.0.100"
            << "100,0000000007,0,2011-03-05 08:30:05";
        QTest::newRow("state 15") << "7" << march << 1 << 15 << 1
                                  << "00007 05.03.2011 08:30:05 01 15 192.168.0.100"
                                  << "001,0000000007,15,2011-03-05 08:30:05";
        QTest::newRow("state 3") << "7" << march << 1 << 3 << 1
                                 << "00007 05.03.2011 08:30:05 01 03 192.168.0.100"
                                 << "001,0000000007,3,2011-03-05 08:30:05";
        QTest::newRow("midnight, last day of the year")
            << "1" << QDateTime(QDate(2010, 12, 31), QTime(0, 0, 0)) << 1 << 0 << 1
            << "00001 31.12.2010 00:00:00 01 00 192.168.0.100"
            << "001,0000000001,0,2010-12-31 00:00:00";
        QTest::newRow("afternoon in 24-hour form")
            << "1" << QDateTime(QDate(2011, 3, 5), QTime(23, 59, 59)) << 1 << 0 << 1
            << "00001 05.03.2011 23:59:59 01 00 192.168.0.100"
            << "001,0000000001,0,2011-03-05 23:59:59";
    }
    void line() {
        QFETCH(QString, enroll);
        QFETCH(QDateTime, time);
        QFETCH(int, machine);
        QFETCH(int, state);
        QFETCH(int, blanks);
        QFETCH(QString, normal);
        QFETCH(QString, dorvak);
        IRecordExt record;
        record.EnrollNumber = enroll;
        record.RecordTime = time;
        record.TerminalNumber = machine;
        record.StateCode = state;
        const QString ip = QStringLiteral("192.168.0.100");
        const TextFormats& formats = processTextFormats();
        QCOMPARE(RecordLineFormatter(RecordLineFormatter::Format::Normal, ip, blanks, formats)
                     .line(record),
                 normal);
        QCOMPARE(RecordLineFormatter(RecordLineFormatter::Format::Dorvak, ip, blanks, formats)
                     .line(record),
                 dorvak);
    }

    // The lines follow the process-wide separators in force when the formatter was made.
    void separatorsComeFromTheFormats() {
        TextFormats formats;
        formats.dateSeparator = QLatin1Char('/');
        formats.timeSeparator = QLatin1Char('.');
        IRecordExt record;
        record.EnrollNumber = QStringLiteral("1");
        record.RecordTime = QDateTime(QDate(2011, 3, 5), QTime(8, 30, 5));
        record.TerminalNumber = 1;
        QCOMPARE(RecordLineFormatter(RecordLineFormatter::Format::Normal, QString(), 1, formats)
                     .line(record),
                 QStringLiteral("00001 05/03/2011 08.30.05 01 00 "));
    }

    void downloadFormats() {
        processTextFormats() = TextFormats{};
        processTextFormats().decimalSeparator = QLatin1Char(',');
        processTextFormats().thousandSeparator = QLatin1Char('.');
        applyRecordTextFormats();
        const TextFormats& f = processTextFormats();
        QCOMPARE(f.thousandSeparator, QChar());
        QCOMPARE(f.decimalSeparator, QLatin1Char('.'));
        QCOMPARE(f.dateSeparator, QLatin1Char('.'));
        QCOMPARE(f.timeSeparator, QLatin1Char(':'));
        QCOMPARE(f.shortTimeFormat, QStringLiteral("HH:nn"));
        QCOMPARE(f.longTimeFormat, QStringLiteral("HH:nn:ss"));
        QCOMPARE(f.shortDateFormat, QStringLiteral("dd.mm.yyyy"));
    }
};

QTEST_GUILESS_MAIN(TestRecordLine)
#include "test_record_line.moc"
