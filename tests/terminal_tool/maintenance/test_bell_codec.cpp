// The bell table codec, the bell window's time texts and the clock text: pure functions.
#include "bell_schedule.h"
#include "clock.h"
#include "text_formats.h"

#include <QTest>

namespace {

// A table whose bytes 4 to 7 all differ, so a byte written to the wrong place shows.
ByteVector patternTable() {
    ByteVector table = NewByteVector(BellTableSize);
    for (int i = 0; i < BellTableSize; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
    for (int n = 0; n < BellCount; ++n) {
        table[static_cast<std::size_t>(n * 8)] = static_cast<std::uint8_t>(n % 24);
        table[static_cast<std::size_t>(n * 8 + 1)] = static_cast<std::uint8_t>(59 - n);
    }
    return table;
}

BellRows sameRows(const QString& time, int day, const QString& duration) {
    BellRows rows;
    rows.fill(BellRow{time, day, duration});
    return rows;
}

} // namespace

class TestBellCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { processTextFormats() = TextFormats(); }

    void clockAnswer_data() {
        QTest::addColumn<ByteVector>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("no leading zeros") << ByteVector{24, 3, 5, 9, 7, 0} << "2024-3-5 9:7:0";
        QTest::newRow("end of year") << ByteVector{24, 12, 31, 23, 59, 58} << "2024-12-31 23:59:58";
        QTest::newRow("longer answer") << ByteVector{0, 1, 1, 0, 0, 0, 9} << "2000-1-1 0:0:0";
        QTest::newRow("short answer") << ByteVector{24, 12, 31, 23, 59} << "";
        QTest::newRow("placeholder back") << ByteVector{0, 0} << "";
    }
    void clockAnswer() {
        QFETCH(ByteVector, bytes);
        QFETCH(QString, text);
        QCOMPARE(clockText(bytes), text);
    }

    void timeTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::newRow("long form") << "08:30:00" << true << 8 << 30;
        QTest::newRow("seconds dropped") << "08:30:45" << true << 8 << 30;
        QTest::newRow("short form") << "8:5" << true << 8 << 5;
        QTest::newRow("blanks around") << " 23:59 " << true << 23 << 59;
        QTest::newRow("midnight") << "0:00:00" << true << 0 << 0;
        QTest::newRow("empty") << "" << false << 0 << 0;
        QTest::newRow("hour 24") << "24:00" << false << 0 << 0;
        QTest::newRow("minute 60") << "10:60" << false << 0 << 0;
        QTest::newRow("second 60") << "10:10:60" << false << 0 << 0;
        QTest::newRow("hour only") << "10" << false << 0 << 0;
        QTest::newRow("four parts") << "1:2:3:4" << false << 0 << 0;
        QTest::newRow("sign") << "-1:30" << false << 0 << 0;
        QTest::newRow("letters") << "ab:cd" << false << 0 << 0;
        QTest::newRow("other separator") << "08.30" << false << 0 << 0;
    }
    void timeTexts() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, hour);
        QFETCH(int, minute);
        int h = -1;
        int m = -1;
        QCOMPARE(parseBellTime(text, h, m), valid);
        if (valid) {
            QCOMPARE(h, hour);
            QCOMPARE(m, minute);
        }
    }

    void timeFollowsProcessFormat_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("default") << "hh:nn:ss"
                                 << ":"
                                 << "08:05:00";
        QTest::newRow("record formats") << "HH:nn:ss"
                                        << ":"
                                        << "08:05:00";
        QTest::newRow("dot separator") << "hh:nn:ss"
                                       << "."
                                       << "08.05.00";
        QTest::newRow("short") << "hh:nn"
                               << ":"
                               << "08:05";
    }
    void timeFollowsProcessFormat() {
        QFETCH(QString, pattern);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        processTextFormats().longTimeFormat = pattern;
        processTextFormats().timeSeparator = separator.at(0);
        Bell bell;
        bell.hour = 8;
        bell.minute = 5;
        QCOMPARE(bellTimeText(bell), text);
        // What the window shows must read back as the same bell.
        int h = -1;
        int m = -1;
        QVERIFY(parseBellTime(text, h, m));
        QCOMPARE(h, 8);
        QCOMPARE(m, 5);
    }

    void decodeFillsRows() {
        ByteVector table = patternTable();
        // bell 3: 07:45, Friday, 90 s; bell 24: day code 9 selects nothing.
        table[16] = 7;
        table[17] = 45;
        table[18] = 6;
        table[19] = 90;
        table[23 * 8 + 2] = 9;
        QString error;
        const std::optional<BellList> bells = decodeBellTable(table, &error);
        QVERIFY2(bells, qPrintable(error));
        QCOMPARE((*bells)[2], (Bell{7, 45, 6, 90}));
        const BellRow row = bellRowFor((*bells)[2]);
        QCOMPARE(row.time, QStringLiteral("07:45:00"));
        QCOMPARE(row.dayIndex, 6);
        QCOMPARE(row.duration, QStringLiteral("90"));
        QCOMPARE(bellRowFor((*bells)[23]).dayIndex, -1);
    }

    void decodeRefusesBadBells_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("named");
        QTest::newRow("hour 24 at bell 1") << BellTableSize << 0 << 24 << "Zil 1:";
        QTest::newRow("minute 60 at bell 13") << BellTableSize << 12 * 8 + 1 << 60 << "Zil 13:";
        QTest::newRow("hour 255 at bell 24") << BellTableSize << 23 * 8 << 255 << "Zil 24:";
        QTest::newRow("short table") << BellTableSize - 1 << 0 << 0 << "191 bayt";
        QTest::newRow("placeholder") << 6 << 0 << 0 << "6 bayt";
    }
    void decodeRefusesBadBells() {
        QFETCH(int, size);
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(QString, named);
        ByteVector table = patternTable();
        table.resize(static_cast<std::size_t>(size));
        PutByte(table, offset, value);
        QString error;
        QVERIFY(!decodeBellTable(table, &error));
        QVERIFY2(error.contains(named), qPrintable(error));
    }

    void encodeKeepsBytesFourToSeven_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("dayCode");
        QTest::addColumn<int>("stored");
        QTest::newRow("plain") << "08:30:00" << 0 << "5" << 8 << 30 << 0 << 5;
        QTest::newRow("seconds dropped") << "08:30:45" << 2 << "10" << 8 << 30 << 2 << 10;
        QTest::newRow("no day is 255") << "23:59" << -1 << "0" << 23 << 59 << 255 << 0;
        QTest::newRow("duration 256 is 0") << "0:00" << 7 << "256" << 0 << 0 << 7 << 0;
        QTest::newRow("duration 300 is 44") << "12:00" << 1 << "300" << 12 << 0 << 1 << 44;
        QTest::newRow("duration -1 is 255") << "12:00" << 1 << "-1" << 12 << 0 << 1 << 255;
    }
    void encodeKeepsBytesFourToSeven() {
        QFETCH(QString, time);
        QFETCH(int, day);
        QFETCH(QString, duration);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, dayCode);
        QFETCH(int, stored);
        const ByteVector before = patternTable();
        ByteVector table = before;
        QString error;
        QVERIFY2(encodeBellRows(sameRows(time, day, duration), table, &error), qPrintable(error));
        QCOMPARE(table.size(), before.size());
        for (int n = 0; n < BellCount; ++n) {
            const std::size_t at = static_cast<std::size_t>(n) * 8;
            QCOMPARE(int(table[at]), hour);
            QCOMPARE(int(table[at + 1]), minute);
            QCOMPARE(int(table[at + 2]), dayCode);
            QCOMPARE(int(table[at + 3]), stored);
            for (std::size_t k = 4; k < 8; ++k)
                QCOMPARE(table[at + k], before[at + k]);
        }
    }

    void encodeRefusesBadRows_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<QString>("named");
        QTest::newRow("fresh window: empty time") << 0 << ""
                                                  << ""
                                                  << "Zil 1:";
        QTest::newRow("bad time at bell 17") << 16 << "25:00"
                                             << "5"
                                             << "Zil 17:";
        QTest::newRow("empty duration at bell 24") << 23 << "08:00"
                                                   << ""
                                                   << "Zil 24:";
        QTest::newRow("decimal duration") << 4 << "08:00"
                                          << "1.5"
                                          << "Zil 5:";
        QTest::newRow("duration too large for a number") << 9 << "08:00"
                                                         << "99999999999"
                                                         << "Zil 10:";
    }
    void encodeRefusesBadRows() {
        QFETCH(int, row);
        QFETCH(QString, time);
        QFETCH(QString, duration);
        QFETCH(QString, named);
        BellRows rows = sameRows(QStringLiteral("07:00:00"), 0, QStringLiteral("3"));
        rows[static_cast<std::size_t>(row)] = BellRow{time, 1, duration};
        const ByteVector before = patternTable();
        ByteVector table = before;
        QString error;
        QVERIFY(!encodeBellRows(rows, table, &error));
        QVERIFY2(error.startsWith(named), qPrintable(error));
        QCOMPARE(table, before); // nothing half-filled
    }
};

QTEST_GUILESS_MAIN(TestBellCodec)
#include "test_bell_codec.moc"
