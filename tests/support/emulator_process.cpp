#include "emulator_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <csignal>
#include <sys/prctl.h>

EmulatorProcess::EmulatorProcess() = default;

EmulatorProcess::~EmulatorProcess() {
    stop();
}

QJsonObject EmulatorProcess::defaultState() {
    return QJsonObject{{QStringLiteral("device_number"), 1},
                       {QStringLiteral("password"), QStringLiteral("0")},
                       {QStringLiteral("clock"), QStringLiteral("2024-03-05 09:07:00")},
                       {QStringLiteral("users"), QJsonArray()},
                       {QStringLiteral("records"), QJsonArray()}};
}

QString EmulatorProcess::statePath() const {
    return dir_.filePath(QStringLiteral("state.json"));
}

bool EmulatorProcess::start(const QJsonObject& state, const EmulatorOptions& options) {
    stop();
    QFile file(statePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(QJsonDocument(state).toJson()) < 0) {
        error_ = QStringLiteral("cannot write %1").arg(statePath());
        return false;
    }
    file.close();

    QStringList args{QStringLiteral("--state"),  statePath(),
                     QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                     QStringLiteral("--family"), options.family};
    ptyPath_.clear();
    if (options.pty) {
        ptyPath_ = dir_.filePath(QStringLiteral("tty"));
        args << QStringLiteral("--pty") << ptyPath_;
    }
    args += options.arguments;
    const QString program =
        qEnvironmentVariable("SELVANO_BIN_DIR") + QStringLiteral("/terminal-emulator");
    process_.setProgram(program);
    process_.setArguments(args);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test killed on time-out must not leave its terminal running.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.start();
    if (!process_.waitForStarted(5000)) {
        error_ = QStringLiteral("cannot start %1: %2").arg(program, process_.errorString());
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || process_.state() != QProcess::Running) {
            error_ = QStringLiteral("%1 did not report its address").arg(program);
            stop();
            return false;
        }
        process_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
    const QString line = QString::fromUtf8(process_.readLine()).trimmed();
    const QString prefix = QStringLiteral("listening on ");
    bool ok = false;
    if (line.startsWith(prefix))
        port_ = static_cast<quint16>(line.section(QLatin1Char(':'), -1).toUInt(&ok));
    if (!ok) {
        error_ = QStringLiteral("unexpected first line \"%1\"").arg(line);
        stop();
        return false;
    }
    return true;
}

void EmulatorProcess::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QJsonObject EmulatorProcess::state() const {
    QFile file(statePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}
