#pragma once
// Runs build/bin/terminal-emulator for a test: writes the state file, starts the process on a
// free loopback port (and a pseudo-terminal if asked), and reads the state file back.

#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

struct EmulatorOptions {
    QString family = QStringLiteral("sdk");
    bool pty = false;
    // Further command-line options, e.g. {"--refuse", "set_device_data:16"}.
    QStringList arguments;
};

class EmulatorProcess {
public:
    EmulatorProcess();
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // A terminal with device number 1, password "0", a fixed clock and no users or records.
    static QJsonObject defaultState();

    // Writes state to a temporary file and starts the emulator; waits for its
    // "listening on" line. false (see errorText()) when it did not come up.
    bool start(const QJsonObject& state = defaultState(), const EmulatorOptions& options = {});
    void stop();

    quint16 port() const { return port_; }
    QString statePath() const;
    // The state file as the emulator last saved it.
    QJsonObject state() const;
    // The pseudo-terminal's symbolic link (empty without options.pty).
    QString ptyPath() const { return ptyPath_; }
    qint64 processId() const { return process_.processId(); }
    QString errorText() const { return error_; }

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    QString ptyPath_;
    QString error_;
};
