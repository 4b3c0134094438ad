#pragma once
// A loopback relay between the program and the emulator that names every request it passes
// on ("busy", "idle", "get 2", "set 14", ...), so a test can check what was sent and in which
// order. It serves one link at a time, which is all a device session opens.

#include <QMutex>
#include <QStringList>
#include <atomic>
#include <thread>

class FrameTap {
public:
    explicit FrameTap(int upstreamPort);
    ~FrameTap();
    FrameTap(const FrameTap&) = delete;
    FrameTap& operator=(const FrameTap&) = delete;

    int port() const { return port_; }
    QStringList requests() const;
    void clear();

private:
    void run();
    void relay(int client);
    void note(const QString& request);

    int upstreamPort_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable QMutex mutex_;
    QStringList requests_;
    std::thread thread_;
};
