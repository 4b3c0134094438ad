// Collection speed and memory, as ratios to a baseline measured in the same run. Exits with 1
// when the single-terminal collection did not write every record.
//
// 1. One emulated terminal with N records (200,000 by default): `selvanor collect --all` into
//    veri.txt, veri2.txt and the backup file, against the baseline of the records answer's
//    bytes sent over a loopback socket plus the same lines written by a plain loop (fwrite,
//    one fsync per file at the end). Peak memory of selvanor against 64 MiB + 2x the lines.
// 2. T emulated terminals of which D do not answer: the time of the whole run and what each
//    dead terminal costs.

#include "device_session.h"
#include "emulator_process.h"
#include "terminal_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

QTextStream out(stdout);

QString binDir() {
    const QString env = qEnvironmentVariable("SELVANO_BIN_DIR");
    return env.isEmpty() ? QCoreApplication::applicationDirPath() : env;
}

struct ChildRun {
    int status = -1;
    double seconds = 0;
    double cpuSeconds = 0; // user + system time of the program itself
    long maxRssKiB = 0;
};

// Runs a program and reports its own peak memory (not that of other children).
ChildRun runChild(const QStringList& args) {
    std::vector<QByteArray> bytes;
    for (const QString& a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    ChildRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    rusage usage{};
    int status = 0;
    wait4(pid, &status, 0, &usage);
    run.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxRssKiB = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void addTerminal(const QString& folder, const QString& name, quint16 port, const QString& ip) {
    TerminalRecord row;
    row.name = name;
    row.terminalNo = QStringLiteral("1");
    row.tip = QStringLiteral("ethernet");
    row.ip = ip;
    row.netPort = QString::number(port);
    row.password = QStringLiteral("0");
    TerminalRegistry(QDir(folder).filePath(QStringLiteral("Data.db"))).insert(row);
}

QString newStore(QTemporaryDir& dir, const QByteArray& options) {
    const QString folder = dir.path() + QLatin1Char('/');
    QString error;
    if (!TerminalRegistry::createStore(folder, &error))
        qFatal("%s", qPrintable(error));
    QFile settings(folder + QStringLiteral("Settings.ini"));
    if (!settings.open(QIODevice::WriteOnly))
        qFatal("cannot write Settings.ini");
    settings.write("[Options]\r\n" + options);
    return folder;
}

// The size of the records answer, read once through the protocol client, and how long that
// read alone takes.
qint64 answerBytes(quint16 port, double& seconds) {
    TerminalRecord row;
    row.terminalNo = QStringLiteral("1");
    row.tip = QStringLiteral("ethernet");
    row.ip = QStringLiteral("127.0.0.1");
    row.netPort = QString::number(port);
    row.password = QStringLiteral("0");
    DeviceSession session;
    if (!session.OpenSession(row))
        qFatal("cannot reach the emulated terminal");
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData{10, 1, 1, 255, 12, 31};
    QElapsedTimer timer;
    timer.start();
    session.connection().GetDeviceData(13, extraProperty, session.device(), extraData);
    seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    session.CloseSession();
    return static_cast<qint64>(extraData.size());
}

// bytes over a loopback socket, then the lines written to three files by a plain loop.
double baselineSeconds(qint64 bytes, const QList<QByteArray>& lines, const QString& folder) {
    QElapsedTimer timer;
    timer.start();
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::thread sender([listener, bytes] {
        const int peer = ::accept(listener, nullptr, nullptr);
        std::vector<char> chunk(64 * 1024, 'x');
        for (qint64 left = bytes; left > 0;) {
            const ssize_t n = ::send(peer, chunk.data(),
                                     static_cast<size_t>(std::min<qint64>(left, chunk.size())), 0);
            if (n <= 0)
                break;
            left -= n;
        }
        ::close(peer);
    });
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    std::vector<char> received(static_cast<size_t>(bytes));
    for (qint64 got = 0; got < bytes;) {
        const ssize_t n =
            ::recv(client, received.data() + got, static_cast<size_t>(bytes - got), 0);
        if (n <= 0)
            break;
        got += n;
    }
    sender.join();
    ::close(client);
    ::close(listener);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        FILE* file = std::fopen(QFile::encodeName(folder + QLatin1String(name)).constData(), "ab");
        for (const QByteArray& line : lines)
            std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), file);
        std::fflush(file);
        fsync(fileno(file));
        std::fclose(file);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// false when the collection did not write every record.
bool singleTerminal(int records) {
    EmulatorProcess terminal;
    QJsonObject state = EmulatorProcess::defaultState();
    EmulatorOptions options;
    options.arguments = {QStringLiteral("--generate-records"), QString::number(records)};
    if (!terminal.start(state, options))
        qFatal("%s", qPrintable(terminal.errorText()));
    QTemporaryDir dir;
    const QString folder = newStore(dir, "veriDosya2=1\r\nveriSil=0\r\ndorvak=\r\n");
    addTerminal(folder, QStringLiteral("A"), terminal.port(), QStringLiteral("127.0.0.1"));
    const ChildRun run =
        runChild({binDir() + QStringLiteral("/selvanor"), QStringLiteral("collect"),
                  QStringLiteral("--folder"), folder, QStringLiteral("--all")});
    QFile veri(folder + QStringLiteral("veri.txt"));
    veri.open(QIODevice::ReadOnly);
    const QByteArray all = veri.readAll();
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype end = all.indexOf('\n', start) + 1;
        lines << all.mid(start, end - start);
        start = end;
    }
    double readSeconds = 0;
    const qint64 answer = answerBytes(terminal.port(), readSeconds);
    QTemporaryDir baseDir;
    const double baseline = baselineSeconds(answer, lines, baseDir.path() + QLatin1Char('/'));
    const double linesMiB = static_cast<double>(all.size()) / (1024.0 * 1024.0);
    const double peakMiB = static_cast<double>(run.maxRssKiB) / 1024.0;
    out << QStringLiteral("records: %1 (lines %2, %3 MiB; answer %4 bytes), exit status %5\n")
               .arg(records)
               .arg(lines.size())
               .arg(linesMiB, 0, 'f', 1)
               .arg(answer)
               .arg(run.status);
    out << QStringLiteral("selvanor collect --all: %1 s; baseline (socket + plain loop): %2 s; "
                          "ratio %3 (goal <= 2)\n")
               .arg(run.seconds, 0, 'f', 3)
               .arg(baseline, 0, 'f', 3)
               .arg(run.seconds / baseline, 0, 'f', 2);
    out << QStringLiteral("selvanor's own CPU time: %1 s (ratio %2); the records read alone "
                          "through the client: %3 s\n")
               .arg(run.cpuSeconds, 0, 'f', 3)
               .arg(run.cpuSeconds / baseline, 0, 'f', 2)
               .arg(readSeconds, 0, 'f', 3);
    out << QStringLiteral("peak memory: %1 MiB; goal < 64 + 2 x %2 = %3 MiB\n")
               .arg(peakMiB, 0, 'f', 1)
               .arg(linesMiB, 0, 'f', 1)
               .arg(64 + 2 * linesMiB, 0, 'f', 1);
    return run.status == 0 && lines.size() == records;
}

void manyTerminals(int total, int dead, int recordsEach) {
    std::vector<std::unique_ptr<EmulatorProcess>> terminals;
    QTemporaryDir dir;
    const QString folder = newStore(dir, "veriDosya2=1\r\n");
    for (int i = 0; i < total; ++i) {
        terminals.push_back(std::make_unique<EmulatorProcess>());
        EmulatorOptions options;
        options.arguments = {QStringLiteral("--generate-records"), QString::number(recordsEach)};
        // A dead terminal: the link opens but nothing ever answers.
        if (i % (total / std::max(dead, 1)) == 0 && i / (total / std::max(dead, 1)) < dead)
            options.arguments << QStringLiteral("--silent") << QStringLiteral("*");
        if (!terminals.back()->start(EmulatorProcess::defaultState(), options))
            qFatal("%s", qPrintable(terminals.back()->errorText()));
        addTerminal(folder, QStringLiteral("T%1").arg(i, 2, 10, QLatin1Char('0')),
                    terminals.back()->port(), QStringLiteral("127.0.0.1"));
    }
    const ChildRun run =
        runChild({binDir() + QStringLiteral("/selvanor"), QStringLiteral("collect"),
                  QStringLiteral("--folder"), folder, QStringLiteral("--all")});
    // The same live terminals alone, to tell what the dead ones cost.
    QTemporaryDir liveDir;
    const QString liveFolder = newStore(liveDir, "veriDosya2=1\r\n");
    int live = 0;
    for (int i = 0; i < total; ++i) {
        if (i % (total / std::max(dead, 1)) == 0 && i / (total / std::max(dead, 1)) < dead)
            continue;
        addTerminal(liveFolder, QStringLiteral("T%1").arg(i, 2, 10, QLatin1Char('0')),
                    terminals[static_cast<size_t>(i)]->port(), QStringLiteral("127.0.0.1"));
        ++live;
    }
    const ChildRun liveRun =
        runChild({binDir() + QStringLiteral("/selvanor"), QStringLiteral("collect"),
                  QStringLiteral("--folder"), liveFolder, QStringLiteral("--all")});
    const int workers = 8;
    const ChildRun parallel =
        runChild({binDir() + QStringLiteral("/selvanor"), QStringLiteral("collect"),
                  QStringLiteral("--folder"), folder, QStringLiteral("--all"),
                  QStringLiteral("--parallel"), QString::number(workers)});
    // veri.txt now holds the sequential run's lines, then the parallel run's.
    QFile veri(folder + QStringLiteral("veri.txt"));
    veri.open(QIODevice::ReadOnly);
    const QByteArray both = veri.readAll();
    const bool same = both.size() % 2 == 0 && !both.isEmpty() &&
                      both.left(both.size() / 2) == both.mid(both.size() / 2);
    out << QStringLiteral("--parallel %1: %2 s, exit status %3, speed-up %4; its lines equal "
                          "the sequential run's: %5\n")
               .arg(workers)
               .arg(parallel.seconds, 0, 'f', 2)
               .arg(parallel.status)
               .arg(run.seconds / parallel.seconds, 0, 'f', 1)
               .arg(same ? QStringLiteral("yes") : QStringLiteral("NO"));
    out << QStringLiteral("%1 terminals (%2 dead, %3 records each): %4 s, exit status %5; "
                          "the %6 live ones alone: %7 s; each dead one costs %8 s\n")
               .arg(total)
               .arg(dead)
               .arg(recordsEach)
               .arg(run.seconds, 0, 'f', 2)
               .arg(run.status)
               .arg(live)
               .arg(liveRun.seconds, 0, 'f', 2)
               .arg((run.seconds - liveRun.seconds) / std::max(dead, 1), 0, 'f', 2);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int records = args.size() > 1 ? args.at(1).toInt() : 200000;
    const int total = args.size() > 2 ? args.at(2).toInt() : 50;
    const int dead = args.size() > 3 ? args.at(3).toInt() : 10;
    const bool complete = singleTerminal(records);
    if (total > 0)
        manyTerminals(total, dead, 1000);
    return complete ? 0 : 1;
}
