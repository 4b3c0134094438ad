// Reading attendance records from the emulator over loopback, as a ratio to sending the same
// number of bytes over a plain loopback socket in the same run; bytes on the wire per record;
// decoding time; peak memory of the client and of the emulator.
//
// Usage: bench_device_protocol [RECORDS] [RUNS]

#include "emulator_process.h"
#include "frame.h"
#include "sdk.h"
#include "wire_codec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <ctime>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double threadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakKiB(const QString& statusFile) {
    QFile f(statusFile);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The baseline: another process (as the emulator is one) sends `size` bytes for every one-byte
// request; the client times request to last byte.
double plainSocketMs(std::size_t size, int runs) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener, 1);
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    const pid_t server = ::fork();
    if (server == 0) {
        const int c = ::accept(listener, nullptr, nullptr);
        std::vector<char> bytes(size, 'x');
        char request = 0;
        for (int r = 0; r < runs; ++r) {
            if (::read(c, &request, 1) != 1)
                break;
            std::size_t done = 0;
            while (done < size) {
                const ssize_t n = ::write(c, bytes.data() + done, size - done);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
        }
        ::close(c);
        ::_exit(0);
    }
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    std::vector<char> buffer(64 * 1024);
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        const char request = 1;
        if (::write(s, &request, 1) != 1)
            break;
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(s, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    ::close(s);
    ::waitpid(server, nullptr, 0);
    ::close(listener);
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 200000;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 7;

    EmulatorProcess emulator;
    EmulatorOptions options;
    options.arguments = QStringList{"--generate-records", QString::number(records)};
    if (!emulator.start(EmulatorProcess::defaultState(), options)) {
        std::fprintf(stderr, "%s\n", qPrintable(emulator.errorText()));
        return 1;
    }
    IDevice d;
    d.DeviceNumber = 1;
    d.Password = QStringLiteral("0");
    d.ConnectionKind = 1;
    d.IpAddress = QStringLiteral("127.0.0.1");
    d.NetworkPort = emulator.port();
    TZd2911DeviceConnection c;
    if (c.OpenConnection(d) <= 0) {
        std::fprintf(stderr, "no connection\n");
        return 1;
    }

    std::vector<double> readMs;
    std::vector<double> decodeMs;
    std::vector<double> cpuMs;
    ByteVector answer;
    std::size_t decoded = 0;
    for (int r = 0; r < runs; ++r) {
        ByteVector prop = NewByteVector(2);
        ByteVector data = {10, 1, 1, 99, 12, 31};
        QElapsedTimer t;
        const double cpu = threadCpuMs();
        t.start();
        if (!c.GetDeviceData(13, prop, d, data)) {
            std::fprintf(stderr, "record read refused\n");
            return 1;
        }
        readMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        cpuMs.push_back(threadCpuMs() - cpu);
        t.restart();
        decoded = TZd2911Tools::BytesToRecords(data).size();
        decodeMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        answer = std::move(data);
    }
    if (decoded != static_cast<std::size_t>(records)) {
        std::fprintf(stderr, "read %zu of %d records\n", decoded, records);
        return 1;
    }

    // Bytes on the wire for one read: the request frame and the answer in 32 KiB pieces,
    // each with its frame and 4-byte size prefix.
    const std::size_t payload = answer.size();
    const std::size_t piece = 32 * 1024;
    const std::size_t frames = payload <= piece ? 1 : (payload + piece - 1) / piece;
    const std::size_t framing = frame::HeaderSize + frame::TrailerSize;
    const std::size_t answerWire = payload + frames * framing + (frames > 1 ? frames * 4 : 0);
    const std::size_t requestWire =
        framing + wire::encodeDeviceRequest(13, NewByteVector(2), NewByteVector(6)).size();
    const std::size_t wireBytes = answerWire + requestWire;

    const double plainMs = plainSocketMs(answerWire, runs);
    const double ours = median(readMs);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const long emulatorPeak = peakKiB(QStringLiteral("/proc/%1/status").arg(emulator.processId()));

    std::printf("records                         %d\n", records);
    std::printf("answer payload bytes            %zu in %zu frames\n", payload, frames);
    std::printf("wire bytes per record           %.2f (framing and request included)\n",
                static_cast<double>(wireBytes) / records);
    std::printf("GetDeviceData(13) first read    %.2f ms (the terminal encodes its log)\n",
                readMs.front());
    std::printf("GetDeviceData(13) median        %.2f ms\n", ours);
    std::printf("  of it client CPU              %.2f ms\n", median(cpuMs));
    std::printf("plain loopback, same bytes      %.2f ms\n", plainMs);
    std::printf("ratio                           %.2f\n", ours / plainMs);
    std::printf("BytesToRecords median           %.2f ms\n", median(decodeMs));
    std::printf("at 9600 baud (960 bytes/s)      %.0f s\n", static_cast<double>(wireBytes) / 960);
    std::printf("client peak memory              %ld KiB\n", usage.ru_maxrss);
    std::printf("emulator peak memory            %ld KiB\n", emulatorPeak);
    return 0;
}
