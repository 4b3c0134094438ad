// The client against a scripted terminal that answers with hostile or broken frame sequences:
// every one is an error, and the caller's vector stays as it was.
#include "frame.h"
#include "sdk.h"
#include "wire_codec.h"

#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// One answer frame of the script; the sequence number is the request's plus `sequenceShift`.
struct Scripted {
    std::uint8_t status = frame::Ok;
    ByteVector payload;
    int sequenceShift = 0;
};

ByteVector chunk(std::uint32_t total, const ByteVector& piece) {
    ByteVector out;
    wire::Writer(out).u32(total);
    out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

// Accepts one client, answers its log-in, then answers its next request with the script.
class ScriptedTerminal {
public:
    explicit ScriptedTerminal(std::vector<Scripted> script) : script_(std::move(script)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(listener_, 1);
        socklen_t len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedTerminal() {
        thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }

private:
    frame::Frame readFrame(int fd, ByteVector& in) {
        for (;;) {
            frame::Frame f;
            std::size_t used = 0;
            if (frame::decode(in.data(), in.size(), f, used) == frame::Parse::Complete) {
                in.erase(in.begin(), in.begin() + static_cast<long>(used));
                return f;
            }
            std::uint8_t buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return {};
            in.insert(in.end(), buffer, buffer + n);
        }
    }
    void serve() {
        const int fd = ::accept(listener_, nullptr, nullptr);
        ByteVector in;
        frame::Frame login = readFrame(fd, in);
        login.payload.clear();
        const ByteVector accepted = frame::encode(login);
        if (::write(fd, accepted.data(), accepted.size()) < 0)
            return;
        const frame::Frame request = readFrame(fd, in);
        ByteVector out;
        for (const Scripted& s : script_) {
            frame::Frame f = request;
            f.status = s.status;
            f.payload = s.payload;
            f.sequence = static_cast<std::uint16_t>(f.sequence + s.sequenceShift);
            const ByteVector bytes = frame::encode(f);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        if (::write(fd, out.data(), out.size()) < 0)
            return;
        // Wait until the client gives up the link.
        std::uint8_t rest[256];
        while (::read(fd, rest, sizeof rest) > 0) {
        }
        ::close(fd);
    }

    std::vector<Scripted> script_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

} // namespace

Q_DECLARE_METATYPE(std::vector<Scripted>)

class TestClientAnswers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void brokenAnswersAreErrors_data() {
        QTest::addColumn<std::vector<Scripted>>("script");
        QTest::addColumn<bool>("ok");
        const ByteVector a(10, 0xAA);
        QTest::newRow("two pieces, whole") << std::vector<Scripted>{{frame::Chunk, chunk(20, a), 0},
                                                                    {frame::Chunk, chunk(20, a), 0}}
                                           << true;
        QTest::newRow("size changes between pieces")
            << std::vector<Scripted>{{frame::Chunk, chunk(20, a), 0},
                                     {frame::Chunk, chunk(30, a), 0}}
            << false;
        QTest::newRow("piece beyond the size")
            << std::vector<Scripted>{{frame::Chunk, chunk(15, a), 0},
                                     {frame::Chunk, chunk(15, a), 0}}
            << false;
        QTest::newRow("ends early with an Ok frame")
            << std::vector<Scripted>{{frame::Chunk, chunk(20, a), 0}, {frame::Ok, a, 0}} << false;
        QTest::newRow("refusal between pieces")
            << std::vector<Scripted>{{frame::Chunk, chunk(20, a), 0}, {frame::Refused, {}, 0}}
            << false;
        QTest::newRow("empty piece")
            << std::vector<Scripted>{{frame::Chunk, chunk(20, {}), 0}} << false;
        QTest::newRow("piece without its size")
            << std::vector<Scripted>{{frame::Chunk, {1, 2}, 0}} << false;
        QTest::newRow("a size past every terminal")
            << std::vector<Scripted>{{frame::Chunk, chunk(0xFFFFFFF0u, a), 0}} << false;
        QTest::newRow("another request's answer")
            << std::vector<Scripted>{{frame::Ok, a, 1}} << false;
        QTest::newRow("unknown status") << std::vector<Scripted>{{0x42, a, 0}} << false;
    }
    void brokenAnswersAreErrors() {
        QFETCH(std::vector<Scripted>, script);
        QFETCH(bool, ok);
        ScriptedTerminal terminal(script);
        IDevice d;
        d.DeviceNumber = 1;
        d.ConnectionKind = 1;
        d.IpAddress = QStringLiteral("127.0.0.1");
        d.NetworkPort = terminal.port();
        d.TimeoutMs = 1000;
        TZd2911DeviceConnection c;
        QVERIFY(c.OpenConnection(d) > 0);
        ByteVector prop = NewByteVector(2);
        const ByteVector request = {10, 1, 1, 24, 3, 5};
        ByteVector data = request;
        if (ok) {
            QVERIFY(c.GetDeviceData(13, prop, d, data));
            QCOMPARE(data, ByteVector(20, 0xAA));
            c.CloseConnection();
            return;
        }
        QVERIFY_THROWS_EXCEPTION(DeviceError, c.GetDeviceData(13, prop, d, data));
        QCOMPARE(data, request);
        QVERIFY(!c.IsOpen());
    }
};

QTEST_GUILESS_MAIN(TestClientAnswers)
#include "test_client_answers.moc"
