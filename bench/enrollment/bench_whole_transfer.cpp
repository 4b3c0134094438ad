// Receive all and send all of a terminal with many users, over loopback against the emulator,
// measured against the bare protocol calls they are made of (same run, same emulator).
// Also the detail reads as they would be if each one carried the user list along.
//   bench_whole_transfer [users...]      (default 100 500)

#include "emulator_process.h"
#include "prompt.h"
#include "whole_transfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 3;

class SilentPrompt : public Prompt {
public:
    void message(const QString&) override {}
    void warning(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    void error(const QString&) override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    QStringList openFileNames(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

class NullSink : public LineSink {
public:
    void clear() override {}
    void addLine(const QString&) override {}
};

QJsonObject terminalWith(int users) {
    QJsonObject state = EmulatorProcess::defaultState();
    QJsonArray list;
    const QString fingerprint = QString(QStringLiteral("5a")).repeated(FingerprintTemplateSize);
    for (int i = 1; i <= users; ++i) {
        list.append(
            QJsonObject{{"enroll_number", QString::number(i)},
                        {"name", QStringLiteral("Personel %1").arg(i)},
                        {"password", "1234"},
                        {"card", QString::number(1000000 + i)},
                        {"fingerprints", QJsonObject{{"0", fingerprint}, {"5", fingerprint}}}});
    }
    state.insert("users", list);
    return state;
}

double medianMs(const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TerminalRecord rowFor(const EmulatorProcess& emulator) {
    TerminalRecord row;
    row.terminalNo = "1";
    row.tip = "ethernet";
    row.ip = "127.0.0.1";
    row.netPort = QString::number(emulator.port());
    row.password = "0";
    return row;
}

// Busy status, the list read, one detail read per user (with extraData as given), idle status.
void bareReceive(DeviceSession& session, bool carryList) {
    ByteVector property = TZd2911Tools::EnrollNumberToBytes("0");
    ByteVector data = NewByteVector(6);
    session.connection().SetDeviceData(16, property, session.device(),
                                       TZd2911Tools::ValueToBytes("1", 3));
    session.connection().GetDeviceData(14, property, session.device(), data);
    const std::vector<UserPtr> users = TZd2911Tools::BytesToUsers(data);
    if (!carryList)
        data = NewByteVector(6);
    for (const UserPtr& u : users)
        session.connection().GetUserData(1, property, *u, data);
    session.connection().SetDeviceData(16, property, session.device(),
                                       TZd2911Tools::ValueToBytes("0", 3));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("SELVANO_BIN_DIR"))
        qputenv("SELVANO_BIN_DIR", QCoreApplication::applicationDirPath().toUtf8());
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(QString::fromLocal8Bit(argv[i]).toInt());
    if (sizes.empty())
        sizes = {100, 500};

    std::printf("| users | receive all | bare calls | ratio | list carried along | send all | "
                "bare writes | ratio |\n|---|---|---|---|---|---|---|---|\n");
    for (int users : sizes) {
        QTemporaryDir dir;
        EmulatorProcess source;
        EmulatorProcess target;
        if (!source.start(terminalWith(users)) || !target.start(terminalWith(0))) {
            std::fprintf(stderr, "emulator: %s%s\n", qPrintable(source.errorText()),
                         qPrintable(target.errorText()));
            return 1;
        }
        DeviceSession from;
        DeviceSession to;
        if (!from.OpenSession(rowFor(source)) || !to.OpenSession(rowFor(target)))
            return 1;
        SilentPrompt prompt;
        NullSink memo;
        PdksNames names;
        EnrollState state;
        EnrollRowTable rows;
        WholeTransfer receive(from, state, rows, memo, prompt, names, false);
        WholeTransfer send(to, state, rows, memo, prompt, names, false);
        const QString backup = dir.filePath("allenroll.fpt");

        const double receiveMs = medianMs([&] { receive.receiveAll(backup, QString()); });
        const double bareMs = medianMs([&] { bareReceive(from, false); });
        const double carriedMs = medianMs([&] { bareReceive(from, true); });
        const double sendMs = medianMs([&] { send.sendAll(backup); });
        const double bareSendMs = medianMs([&] {
            ByteVector property = NewByteVector(2);
            ByteVector data = NewByteVector(6);
            to.connection().SetDeviceData(16, property, to.device(),
                                          TZd2911Tools::ValueToBytes("1", 3));
            for (const UserPtr& u : state.loadedUsers)
                to.connection().SetUserData(1, property, *u, data);
            to.connection().SetDeviceData(16, property, to.device(),
                                          TZd2911Tools::ValueToBytes("0", 3));
        });
        std::printf("| %d | %.0f ms | %.0f ms | %.2f | %.0f ms | %.0f ms | %.0f ms | %.2f |\n",
                    users, receiveMs, bareMs, receiveMs / bareMs, carriedMs, sendMs, bareSendMs,
                    sendMs / bareSendMs);
        std::fflush(stdout);
    }
    return 0;
}
