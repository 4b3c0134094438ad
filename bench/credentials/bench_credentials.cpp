// Uploading the cards of N listed people (default 10,000) to one emulated terminal of each
// family, against N request-answer round trips of the same sizes over a plain loopback socket
// in the same run. Run by hand: build/bin/bench_credentials [N] [--family control|sdk];
// --smoke runs 200 people.

#include "credential_run.h"
#include "emulator_process.h"
#include "prompt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class CountingSink : public LineSink {
public:
    void clear() override { ok = failed = 0; }
    void addLine(const QString& line) override {
        (line.endsWith(QLatin1String(" ok")) ? ok : failed)++;
    }
    int ok = 0;
    int failed = 0;
};

class SilentPrompt : public Prompt {
public:
    void message(const QString&) override {}
    void warning(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    void error(const QString& text) override { QTextStream(stderr) << text << '\n'; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QStringList openFileNames(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

bool readFully(int fd, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::read(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Seconds for rounds request-answer round trips of the given sizes over loopback TCP to an
// answering child process (two processes, as with the emulator).
double plainRoundTrips(int rounds, std::size_t requestSize, std::size_t answerSize) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int one = 1;
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::accept(listener, nullptr, nullptr);
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::vector<char> request(requestSize), answer(answerSize, 'a');
        while (readFully(fd, request.data(), requestSize))
            if (::write(fd, answer.data(), answerSize) != static_cast<ssize_t>(answerSize))
                break;
        ::_exit(0);
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    std::vector<char> request(requestSize, 'r'), answer(answerSize);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        if (::write(fd, request.data(), requestSize) != static_cast<ssize_t>(requestSize) ||
            !readFully(fd, answer.data(), answerSize))
            break;
    const double seconds = t.nsecsElapsed() / 1e9;
    ::close(fd);
    ::close(listener);
    ::waitpid(child, nullptr, 0);
    return seconds;
}

// Seconds for the listed-persons upload of people cards to one emulated terminal; -1 when a
// card was not stored.
double upload(const QString& family, const QString& deviceType, int people) {
    EmulatorProcess emulator;
    EmulatorOptions options;
    options.family = family;
    if (!emulator.start(EmulatorProcess::defaultState(), options)) {
        QTextStream(stderr) << emulator.errorText() << '\n';
        return -1;
    }
    TerminalValues terminal;
    terminal.ad = QStringLiteral("Bench");
    terminal.source = QStringLiteral("127.0.0.1");
    terminal.port = QString::number(emulator.port());
    terminal.deviceNum = QStringLiteral("1");
    terminal.commPassword = QStringLiteral("0");
    terminal.cihaztipi = deviceType;
    CredentialRequest request;
    request.terminals = {terminal};
    request.scope = PersonScope::Listed;
    request.kind = CredentialKind::Card;
    for (int i = 1; i <= people; ++i)
        request.persons.append({QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')),
                                QStringLiteral("Kişi %1").arg(i), QString::number(4000000 + i),
                                QString()});
    TSBXPC control;
    std::unique_ptr<TZd2911DeviceConnection> sdkConnection;
    std::vector<qint32> enrollData(355, 0);
    CredentialDevices devices{control, sdkConnection, enrollData};
    SilentPrompt prompt;
    CountingSink memo;
    NullProgress progress;
    QElapsedTimer t;
    t.start();
    const RunOutcome outcome = uploadCredentials(request, devices, prompt, memo, progress);
    const double seconds = t.nsecsElapsed() / 1e9;
    return outcome == RunOutcome::Finished && memo.ok == people && memo.failed == 0 ? seconds : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString only;
    if (const qsizetype at = args.indexOf(QLatin1String("--family")); at >= 0) {
        only = args.value(at + 1);
        args.remove(at, 2);
    }
    const int people = args.contains(QLatin1String("--smoke")) ? 200
                       : args.isEmpty()                        ? 10000
                                                               : args.first().toInt();
    QTextStream out(stdout);
    // Request and answer sizes of one card write of the control family (frame of 20 payload
    // bytes, empty answer).
    const double plain = plainRoundTrips(people, 38, 18);
    out << "people: " << people << "\nplain loopback round trips: " << plain << " s" << Qt::endl;
    int failures = 0;
    for (const auto& [family, type] : {std::pair{"control", "SelvanoNorvi"}, {"sdk", "SelvanoR"}}) {
        if (!only.isEmpty() && only != QLatin1String(family))
            continue;
        const double seconds = upload(QLatin1String(family), QLatin1String(type), people);
        if (seconds < 0) {
            ++failures;
            out << type << ": FAILED" << Qt::endl;
            continue;
        }
        out << type << ": " << seconds << " s, ratio " << seconds / plain << Qt::endl;
    }
    return failures == 0 ? 0 : 1;
}
