#include "link_server.h"

#include "transport.h"

#include <QByteArray>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

struct LinkServer::Link {
    int fd = -1;
    bool isSocket = false;
    std::unique_ptr<LinkSession> session;
};

namespace {

// An answer the client does not take within this time is dropped with the link.
constexpr int WriteTimeoutMs = 30000;

bool writeAll(int fd, bool isSocket, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = isSocket ? ::send(fd, data + done, size - done, MSG_NOSIGNAL)
                                   : ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, WriteTimeoutMs) <= 0)
            return false;
    }
    return true;
}

} // namespace

std::vector<Reply> FrameSession::receive(const std::uint8_t* data, std::size_t size) {
    inbox_.insert(inbox_.end(), data, data + size);
    std::vector<Reply> replies;
    std::size_t start = 0;
    for (;;) {
        frame::Frame f;
        std::size_t used = 0;
        const auto parse = frame::decode(inbox_.data() + start, inbox_.size() - start, f, used);
        if (parse == frame::Parse::NeedMore)
            break;
        if (parse == frame::Parse::Malformed) {
            // Skip to the next possible frame start: noise or a damaged frame is dropped.
            const auto next = std::find(inbox_.begin() + static_cast<std::ptrdiff_t>(start) + 1,
                                        inbox_.end(), frame::Magic0);
            start = static_cast<std::size_t>(next - inbox_.begin());
            continue;
        }
        start += used;
        replies.push_back(answer(f));
    }
    inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<std::ptrdiff_t>(start));
    return replies;
}

LinkServer::LinkServer(TerminalFamily& family, const FaultPlan& faults)
    : family_(family), faults_(faults) {}

LinkServer::~LinkServer() {
    if (client_)
        ::close(client_->fd);
    if (pty_)
        ::close(pty_->fd);
    if (ptySlaveFd_ >= 0)
        ::close(ptySlaveFd_);
    if (listenFd_ >= 0)
        ::close(listenFd_);
    if (!ptyLinkPath_.isEmpty())
        QFile::remove(ptyLinkPath_);
}

bool LinkServer::listen(const QString& hostPort) {
    const int colon = hostPort.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const int port = hostPort.mid(colon + 1).toInt(&portOk);
    if (colon <= 0 || !portOk || port < 0 || port > 65535) {
        error_ = QStringLiteral("--listen wants HOST:PORT, got \"%1\"").arg(hostPort);
        return false;
    }
    const QByteArray host = hostPort.left(colon).toUtf8();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) !=
            0 ||
        !found) {
        error_ = QStringLiteral("cannot resolve %1").arg(QString::fromUtf8(host));
        return false;
    }
    listenFd_ = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const bool ok = listenFd_ >= 0 && ::bind(listenFd_, found->ai_addr, found->ai_addrlen) == 0 &&
                    ::listen(listenFd_, 4) == 0;
    ::freeaddrinfo(found);
    if (!ok) {
        error_ = QStringLiteral("cannot listen on %1: %2")
                     .arg(hostPort, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
    const int boundPort =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                          : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    address_ = QStringLiteral("%1:%2").arg(QString::fromUtf8(host)).arg(boundPort);
    return true;
}

bool LinkServer::openPty(const QString& linkPath) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error_ = QStringLiteral("cannot make a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QByteArray slaveName = ::ptsname(master);
    // Holding the slave side open keeps the master readable between clients, and sets the
    // line raw for every client that opens it.
    ptySlaveFd_ = ::open(slaveName.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (ptySlaveFd_ < 0 || !makeRawTerminal(ptySlaveFd_, 9600)) {
        error_ = QStringLiteral("cannot prepare %1").arg(QString::fromLocal8Bit(slaveName));
        return false;
    }
    QFile::remove(linkPath);
    if (::symlink(slaveName.constData(), QFile::encodeName(linkPath).constData()) != 0) {
        error_ = QStringLiteral("cannot link %1: %2")
                     .arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ptyLinkPath_ = linkPath;
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    pty_ = std::make_unique<Link>();
    pty_->fd = master;
    pty_->session = family_.newSession();
    return true;
}

bool LinkServer::send(Link& link, const Reply& reply) {
    if (FaultPlan::matches(faults_.silent, reply.operation))
        return true;
    if (faults_.delayMs > 0)
        QThread::msleep(static_cast<unsigned long>(faults_.delayMs));
    ByteVector damaged;
    if (FaultPlan::matches(faults_.malformed, reply.operation) && !reply.bytes.empty()) {
        damaged = reply.bytes;
        damaged.back() ^= 0xFF; // the checksum no longer matches
    }
    const ByteVector& bytes = damaged.empty() ? reply.bytes : damaged;
    if (faults_.closeAfterBytes >= 0 && FaultPlan::matches(faults_.closeOn, reply.operation)) {
        const std::size_t cut =
            std::min(bytes.size(), static_cast<std::size_t>(faults_.closeAfterBytes));
        writeAll(link.fd, link.isSocket, bytes.data(), cut);
        return false;
    }
    return writeAll(link.fd, link.isSocket, bytes.data(), bytes.size());
}

void LinkServer::serve(Link& link) {
    std::uint8_t buffer[64 * 1024];
    const ssize_t n = ::read(link.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    bool keep = n > 0;
    if (keep) {
        for (const Reply& reply : link.session->receive(buffer, static_cast<std::size_t>(n))) {
            if (!send(link, reply)) {
                keep = false;
                break;
            }
        }
    }
    if (keep)
        return;
    if (link.isSocket) {
        ::close(link.fd);
        client_.reset();
    } else {
        // A pseudo-terminal cannot be hung up; the next client starts a new conversation.
        link.session = family_.newSession();
    }
}

void LinkServer::run() {
    for (;;) {
        pollfd fds[2];
        nfds_t count = 0;
        fds[count++] = {client_ ? client_->fd : listenFd_, POLLIN, 0};
        if (pty_)
            fds[count++] = {pty_->fd, POLLIN, 0};
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents) {
            if (client_) {
                serve(*client_);
            } else {
                const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (fd >= 0) {
                    // Answers go out at once, not held back for the client's acknowledgement.
                    const int one = 1;
                    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                    client_ = std::make_unique<Link>();
                    client_->fd = fd;
                    client_->isSocket = true;
                    client_->session = family_.newSession();
                }
            }
        }
        if (count > 1 && fds[1].revents)
            serve(*pty_);
    }
}
