#pragma once
// Serves one terminal family on a TCP listener (one client at a time, several in sequence)
// and optionally on a pseudo-terminal, applying the fault plan to every answer.

#include "byte_vector.h"
#include "fault_plan.h"
#include "frame.h"

#include <QString>
#include <memory>
#include <vector>

// One answer to send, named after the operation it answers (for the fault plan).
struct Reply {
    ByteVector bytes;
    QString operation;
};

// The conversation on one link: bytes in, answers out.
class LinkSession {
public:
    virtual ~LinkSession() = default;
    virtual std::vector<Reply> receive(const std::uint8_t* data, std::size_t size) = 0;
};

// A session whose requests are frames: gathers bytes into whole frames, drops noise and damaged
// frames, and answers every whole frame in order.
class FrameSession : public LinkSession {
public:
    std::vector<Reply> receive(const std::uint8_t* data, std::size_t size) final;

protected:
    virtual Reply answer(const frame::Frame& request) = 0;

private:
    ByteVector inbox_;
};

// A terminal family (the protocol it speaks); makes one session per link.
class TerminalFamily {
public:
    virtual ~TerminalFamily() = default;
    virtual std::unique_ptr<LinkSession> newSession() = 0;
};

class LinkServer {
public:
    LinkServer(TerminalFamily& family, const FaultPlan& faults);
    ~LinkServer();
    LinkServer(const LinkServer&) = delete;
    LinkServer& operator=(const LinkServer&) = delete;

    // host:port, port 0 picks a free one; false with errorText().
    bool listen(const QString& hostPort);
    // A new pseudo-terminal with a symbolic link at linkPath.
    bool openPty(const QString& linkPath);
    QString listeningAddress() const { return address_; }
    QString errorText() const { return error_; }
    // Serves until the process is ended.
    void run();

private:
    struct Link;
    void serve(Link& link);
    bool send(Link& link, const Reply& reply);

    TerminalFamily& family_;
    FaultPlan faults_;
    int listenFd_ = -1;
    QString address_;
    QString error_;
    QString ptyLinkPath_;
    int ptySlaveFd_ = -1;
    std::unique_ptr<Link> client_;
    std::unique_ptr<Link> pty_;
};
