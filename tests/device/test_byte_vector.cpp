#include "byte_vector.h"

#include <QTest>

class TestByteVector : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void padLeftZeros_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short number") << "7" << 3 << "007";
        QTest::newRow("longer never cut") << "12345" << 3 << "12345";
        QTest::newRow("empty") << "" << 2 << "00";
        QTest::newRow("width 0") << "abc" << 0 << "abc";
        QTest::newRow("negative width") << "5" << -1 << "5";
        QTest::newRow("exact") << "123" << 3 << "123";
    }
    void padLeftZeros() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(PadLeftZeros(text, width), expected);
    }

    void putByte_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("300 keeps low 8 bits") << 300 << 44;
        QTest::newRow("-1 is 255") << -1 << 255;
        QTest::newRow("256 is 0") << 256 << 0;
        QTest::newRow("plain") << 200 << 200;
    }
    void putByte() {
        QFETCH(int, value);
        QFETCH(int, stored);
        ByteVector v = NewByteVector(2);
        QVERIFY(PutByte(v, 1, value));
        std::uint8_t b = 0;
        QVERIFY(GetByte(v, 1, b));
        QCOMPARE(int(b), stored);
        QCOMPARE(int(v[0]), 0);
    }

    void outsideTheVector() {
        ByteVector v = NewByteVector(2);
        QVERIFY(!PutByte(v, 2, 9));
        QVERIFY(!PutByte(v, -1, 9));
        std::uint8_t b = 77;
        QVERIFY(!GetByte(v, 5, b));
        QCOMPARE(int(b), 77); // left as it was
        QCOMPARE(v, ByteVector({0, 0}));
        QVERIFY(NewByteVector(0).empty());
        QVERIFY(NewByteVector(-3).empty());
    }

    void bytesToHex_data() {
        QTest::addColumn<ByteVector>("bytes");
        QTest::addColumn<QString>("hex");
        QTest::newRow("empty") << ByteVector() << "";
        QTest::newRow("three zeros") << NewByteVector(3) << "00 00 00 ";
        QTest::newRow("10 and 255") << ByteVector{10, 255} << "0A FF ";
    }
    void bytesToHex() {
        QFETCH(ByteVector, bytes);
        QFETCH(QString, hex);
        QCOMPARE(BytesToHex(bytes), hex);
    }

    void fullFingerprintBufferIs1494Characters() {
        const QString text = BytesToHex(NewByteVector(FingerprintTemplateSize));
        QCOMPARE(text.size(), 1494);
        QVERIFY(text.endsWith(QLatin1Char(' ')));
    }

    void copyBytesIntoSecondSlot() {
        ByteVector source(FingerprintTemplateSize, 0xAB);
        ByteVector target = NewByteVector(2 * FingerprintTemplateSize);
        CopyBytes(source, 0, target, FingerprintTemplateSize, FingerprintTemplateSize);
        for (int i = 0; i < FingerprintTemplateSize; ++i)
            QCOMPARE(int(target[i]), 0);
        for (int i = FingerprintTemplateSize; i < 2 * FingerprintTemplateSize; ++i)
            QCOMPARE(int(target[i]), 0xAB);
        ByteVector untouched = NewByteVector(4);
        CopyBytes(source, 0, untouched, 0, 0);
        CopyBytes(source, 0, untouched, 0, -5);
        QCOMPARE(untouched, NewByteVector(4));
    }

    void privileges_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << 1 << "General user";
        QTest::newRow("1") << 1 << 2 << "Super user";
        QTest::newRow("2") << 2 << 4 << "Enroll user";
        QTest::newRow("3") << 3 << 8 << "View user";
        QTest::newRow("4") << 4 << 16 << "Customer";
        QTest::newRow("none chosen") << -1 << 1 << "General user";
        QTest::newRow("past the end") << 5 << 1 << "General user";
    }
    void privileges() {
        QFETCH(int, index);
        QFETCH(int, value);
        QFETCH(QString, name);
        QCOMPARE(PrivilegeFromIndex(index), value);
        QCOMPARE(PrivilegeName(value), name);
    }

    void unknownPrivilegeHasNoName() {
        QCOMPARE(PrivilegeName(32), QString());
        QCOMPARE(PrivilegeName(0), QString());
    }
};

QTEST_APPLESS_MAIN(TestByteVector)
#include "test_byte_vector.moc"
