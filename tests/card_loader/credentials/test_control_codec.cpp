// The control family's codecs against the worked example of docs/protocol.md.

#include "control_codec.h"
#include "device_error.h"
#include "frame.h"

#include <QTest>

using namespace control;

namespace {

ByteVector fromHex(const char* hex) {
    const QByteArray bytes = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
    return ByteVector(bytes.begin(), bytes.end());
}

ByteVector framed(std::uint8_t command, std::uint8_t status, quint16 sequence,
                  const ByteVector& payload) {
    frame::Frame f;
    f.command = command;
    f.status = status;
    f.device = 1;
    f.sequence = sequence;
    f.payload = payload;
    return frame::encode(f);
}

} // namespace

class TestControlCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passwordValue_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("six digits") << "123456" << true << 0x765432;
        QTest::newRow("seventh digit dropped") << "1234567" << true << 0x765432;
        QTest::newRow("seventh character not looked at") << "123456x" << true << 0x765432;
        QTest::newRow("zero stored as 1") << "0" << true << 0x1;
        QTest::newRow("zeros keep their places") << "000" << true << 0x111;
        QTest::newRow("nines") << "999999" << true << 0xAAAAAA;
        QTest::newRow("short") << "42" << true << 0x35;
        QTest::newRow("letter") << "12a4" << false << 0;
        QTest::newRow("sign") << "-1234" << false << 0;
        QTest::newRow("blank") << "12 4" << false << 0;
        QTest::newRow("other script digit") << QString::fromUtf8("1\u0663") << false << 0;
    }
    void passwordValue() {
        QFETCH(QString, password);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto encoded = control::passwordValue(password);
        QCOMPARE(encoded.has_value(), valid);
        if (valid) {
            QCOMPARE(*encoded, value);
            QVERIFY(control::isPasswordValue(*encoded));
        }
    }

    void isPasswordValue_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty password") << 0 << false;
        QTest::newRow("group above 10") << 0xB << false;
        QTest::newRow("digits after the end") << 0x301 << false;
        QTest::newRow("seventh group") << 0x1111111 << false;
        QTest::newRow("negative") << -1 << false;
        QTest::newRow("card-like number") << 99887766 << false;
    }
    void isPasswordValue() {
        QFETCH(int, value);
        QFETCH(bool, valid);
        QCOMPARE(control::isPasswordValue(value), valid);
    }

    void workedExample_data() {
        QTest::addColumn<ByteVector>("encoded");
        QTest::addColumn<ByteVector>("documented");
        QTest::newRow("link") << framed(CmdLink, frame::Ok, 1, encodeInt(0))
                              << fromHex("53 56 04 00 00 00 C1 00 01 00 00 00 01 00 00 00 00 00 "
                                         "B5 15 3E CF");
        QTest::newRow("write mode") << framed(CmdSetEnabled, frame::Ok, 2, encodeInt(0))
                                    << fromHex("53 56 04 00 00 00 C2 00 01 00 00 00 02 00 00 00 "
                                               "00 00 EB B5 34 3E");
        QTest::newRow("write card")
            << framed(CmdWrite, frame::Ok, 3, encodeWrite({42, 1, BackupCard, 0, 99887766}))
            << fromHex("53 56 14 00 00 00 C3 00 01 00 00 00 03 00 2A 00 00 00 01 00 00 00 0B 00 "
                       "00 00 00 00 00 00 96 2A F4 05 AC 5A 02 19");
        QTest::newRow("refused, not in write mode")
            << framed(CmdWrite, frame::Refused, 3, encodeInt(ErrNotWriteMode))
            << fromHex("53 56 04 00 00 00 C3 02 01 00 00 00 03 00 02 00 00 00 6B 5B A8 9C");
        QTest::newRow("stored") << framed(CmdWrite, frame::Ok, 3, {})
                                << fromHex("53 56 00 00 00 00 C3 00 01 00 00 00 03 00 9F BF E6 37");
        QTest::newRow("remove password")
            << framed(CmdRemove, frame::Ok, 4, encodeRemove({42, 1, BackupPassword}))
            << fromHex("53 56 0C 00 00 00 C4 00 01 00 00 00 04 00 2A 00 00 00 01 00 00 00 0F 00 "
                       "00 00 89 0C 0C 80");
    }
    void workedExample() {
        QFETCH(ByteVector, encoded);
        QFETCH(ByteVector, documented);
        QCOMPARE(encoded, documented);
    }

    void requestsRoundTrip() {
        const WriteRequest w{-7, 2147483647, BackupPassword, 0, -2147483647 - 1};
        QCOMPARE(decodeWrite(encodeWrite(w)), w);
        const RemoveRequest r{2147483647, -1, BackupCard};
        QCOMPARE(decodeRemove(encodeRemove(r)), r);
    }

    void wrongSizeIsRefusedWhole_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one short") << 19;
        QTest::newRow("one over") << 21;
    }
    void wrongSizeIsRefusedWhole() {
        QFETCH(int, size);
        const ByteVector payload(static_cast<std::size_t>(size), 0x11);
        QVERIFY_THROWS_EXCEPTION(DeviceError, decodeWrite(payload));
        QVERIFY_THROWS_EXCEPTION(DeviceError, decodeRemove(payload));
        QVERIFY_THROWS_EXCEPTION(DeviceError, decodeInt(payload));
    }
};

QTEST_APPLESS_MAIN(TestControlCodec)
#include "test_control_codec.moc"
