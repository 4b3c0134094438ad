#include "conversion_error.h"
#include "csv_export.h"

#include <QTest>

namespace {

// Rows joined by "\n", cells by "|"; an empty cell is empty text.
QString render(const Sheet& sheet) {
    QStringList rows;
    for (int row = 0; row < sheet.rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < sheet.columns(); ++column)
            cells << sheet.cell(row, column).value;
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parses_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comma, CR LF") << QByteArray("a,b,c\r\n1,2,3\r\n") << "a|b|c\n1|2|3";
        QTest::newRow("semicolon") << QByteArray("a;b;c\n1;2,5;3\n") << "a|b|c\n1|2,5|3";
        QTest::newRow("comma wins a tie") << QByteArray("a;b,c\n") << "a;b|c";
        QTest::newRow("quotes") << QByteArray("\"a,1\",\"say \"\"hi\"\"\",x\n")
                                << "a,1|say \"hi\"|x";
        QTest::newRow("separator in quotes does not count")
            << QByteArray("\"a;b;c\",d\n") << "a;b;c|d";
        QTest::newRow("line end inside quotes")
            << QByteArray("t1,t2\n\"two\r\nlines\",x\n") << "t1|t2\ntwo\r\nlines|x";
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBFNo,Ad\n1,Ayşe\n") << "No|Ad\n1|Ayşe";
        QTest::newRow("LF only and no last line end") << QByteArray("a,b\n1,2") << "a|b\n1|2";
        QTest::newRow("CR only") << QByteArray("a,b\r1,2\r") << "a|b\n1|2";
        QTest::newRow("blank lines skipped")
            << QByteArray("a,b\r\n\r\n1,2\r\n\r\n\r\n") << "a|b\n1|2";
        QTest::newRow("short rows filled") << QByteArray("a,b,c\n1\n,,\n") << "a|b|c\n1||\n||";
        QTest::newRow("Windows Turkish bytes")
            << QByteArray("\xDE\xFE,\xDD\xFD,\xD0\xF0\n") << "Şş|İı|Ğğ";
        QTest::newRow("blanks kept") << QByteArray(" a , b \n") << " a | b ";
    }
    void parses() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(render(parseCsvExport(bytes)), expected);
    }

    void emptyFieldsAreEmptyCells() {
        const Sheet sheet = parseCsvExport("a,,\"\"\n");
        QCOMPARE(sheet.columns(), 3);
        QCOMPARE(sheet.cell(0, 0).kind, SheetCell::Kind::Text);
        QCOMPARE(sheet.cell(0, 1).kind, SheetCell::Kind::Empty);
        QCOMPARE(sheet.cell(0, 2).kind, SheetCell::Kind::Empty);
        QCOMPARE(sheet.cell(5, 9).kind, SheetCell::Kind::Empty); // outside the sheet
    }

    void rejects_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << "CSV dosyası boş";
        QTest::newRow("only line ends") << QByteArray("\r\n\r\n  \n") << "CSV dosyası boş";
        QTest::newRow("byte order mark only") << QByteArray("\xEF\xBB\xBF") << "CSV dosyası boş";
        QTest::newRow("unterminated quote")
            << QByteArray("a,b\n1,2\n3,\"open\n4,5\n") << "3. satırda açılan tırnak kapanmıyor";
        QTest::newRow("too many columns") << QByteArray(300, ',') << "sayfa çok büyük";
        QTest::newRow("too many rows")
            << QByteArray("1\n").repeated(MaxSheetRows + 1) << "sayfa çok büyük";
    }
    void rejects() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        try {
            parseCsvExport(bytes);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::BadSheet);
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
    }

    void fileErrorsNameTheFile() {
        try {
            readCsvExport(QStringLiteral("/nonexistent/x.csv"));
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QVERIFY2(e.text().startsWith(QLatin1String("/nonexistent/x.csv: ")),
                     qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "test_csv_export.moc"
