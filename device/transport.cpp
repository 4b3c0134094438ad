#include "transport.h"

#include "device_error.h"

#include <QByteArray>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

QString systemError(const QString& what, int error) {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until fd is ready for events or the deadline passes; false on time-out.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, remainingMs(deadline));
        if (n > 0)
            return true;
        if (n == 0)
            return false;
        if (errno != EINTR)
            throw DeviceError(DeviceError::Kind::Io, systemError(QStringLiteral("poll"), errno));
    }
}

void setNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

speed_t speedFor(int baudRate) {
    switch (baudRate) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B9600;
    }
}

} // namespace

FdTransport::FdTransport(int fd, bool isSocket) : fd_(fd), isSocket_(isSocket) {
    setNonBlocking(fd_);
}

FdTransport::~FdTransport() {
    close();
}

void FdTransport::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void FdTransport::write(const std::uint8_t* data, std::size_t size, int timeoutMs) {
    if (fd_ < 0)
        throw DeviceError(DeviceError::Kind::Io, QStringLiteral("link closed"));
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = isSocket_ ? ::send(fd_, data + done, size - done, MSG_NOSIGNAL)
                                    : ::write(fd_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw DeviceError(DeviceError::Kind::Io, systemError(QStringLiteral("send"), errno));
        if (!waitFor(fd_, POLLOUT, deadline))
            throw DeviceError(DeviceError::Kind::Timeout, QStringLiteral("send timed out"));
    }
}

std::size_t FdTransport::read(std::uint8_t* data, std::size_t max, int timeoutMs) {
    if (fd_ < 0)
        throw DeviceError(DeviceError::Kind::Io, QStringLiteral("link closed"));
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const ssize_t n = ::read(fd_, data, max);
        if (n > 0)
            return static_cast<std::size_t>(n);
        if (n == 0)
            throw DeviceError(DeviceError::Kind::Io, QStringLiteral("link closed by the terminal"));
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            throw DeviceError(DeviceError::Kind::Io, systemError(QStringLiteral("receive"), errno));
        if (!waitFor(fd_, POLLIN, deadline))
            throw DeviceError(
                DeviceError::Kind::Timeout,
                QStringLiteral("no answer from the terminal within %1 ms").arg(timeoutMs));
    }
}

namespace {

// getaddrinfo has no time limit of its own and a dead name server can hold it for minutes: it
// runs on a helper thread that is left behind, and frees what it finds, when the deadline passes.
addrinfo* resolve(const QString& host, int port, Clock::time_point deadline) {
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        int rc = 0;
        addrinfo* found = nullptr;
    };
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, name = host.trimmed().toUtf8(), service = QByteArray::number(port)] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const int rc = ::getaddrinfo(name.constData(), service.constData(), &hints, &found);
        const std::lock_guard<std::mutex> lock(lookup->mutex);
        if (lookup->abandoned) {
            if (rc == 0)
                ::freeaddrinfo(found);
            return;
        }
        lookup->rc = rc;
        lookup->found = found;
        lookup->finished = true;
        lookup->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; })) {
        lookup->abandoned = true;
        throw DeviceError(DeviceError::Kind::Timeout,
                          QStringLiteral("resolving %1 timed out").arg(host));
    }
    if (lookup->rc != 0)
        throw DeviceError(DeviceError::Kind::Io,
                          QStringLiteral("cannot resolve %1: %2")
                              .arg(host, QString::fromLocal8Bit(::gai_strerror(lookup->rc))));
    return lookup->found;
}

} // namespace

frame::Frame FrameReader::read(Transport& link, int timeoutMs) {
    constexpr std::size_t ReadBlock = 64 * 1024;
    frame::Frame f;
    for (;;) {
        std::size_t used = 0;
        const auto parse = frame::decode(inbox_.data() + start_, inbox_.size() - start_, f, used);
        if (parse == frame::Parse::Complete) {
            start_ += used;
            lastSize_ = used;
            return f;
        }
        if (parse == frame::Parse::Malformed)
            throw DeviceError(DeviceError::Kind::Protocol,
                              QStringLiteral("malformed frame from the terminal"));
        inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
        lastSize_ = 0;
        const std::size_t had = inbox_.size();
        inbox_.resize(had + ReadBlock);
        const std::size_t n = link.read(inbox_.data() + had, ReadBlock, timeoutMs);
        inbox_.resize(had + n);
    }
}

void FrameReader::clear() {
    inbox_.clear();
    start_ = 0;
    lastSize_ = 0;
}

std::unique_ptr<Transport> openTcpTransport(const QString& host, int port, int timeoutMs) {
    if (port <= 0 || port > 65535)
        throw DeviceError(DeviceError::Kind::Io, QStringLiteral("invalid port %1").arg(port));
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo* found = resolve(host, port, deadline);
    QString lastError = QStringLiteral("no address for %1").arg(host);
    DeviceError::Kind lastKind = DeviceError::Kind::Io;
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        setNonBlocking(fd);
        int err = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (err == EINPROGRESS) {
            if (!waitFor(fd, POLLOUT, deadline)) {
                ::close(fd);
                lastKind = DeviceError::Kind::Timeout;
                lastError = QStringLiteral("connecting to %1:%2 timed out").arg(host).arg(port);
                break;
            }
            socklen_t len = sizeof err;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
        }
        if (err == 0) {
            ::freeaddrinfo(found);
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return std::make_unique<FdTransport>(fd, true);
        }
        ::close(fd);
        lastKind = DeviceError::Kind::Io;
        lastError = systemError(QStringLiteral("connecting to %1:%2").arg(host).arg(port), err);
    }
    ::freeaddrinfo(found);
    throw DeviceError(lastKind, lastError);
}

bool makeRawTerminal(int fd, int baudRate) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return false;
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speedFor(baudRate));
    ::cfsetospeed(&tio, speedFor(baudRate));
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

std::unique_ptr<Transport> openSerialTransport(const QString& path, int baudRate) {
    if (path.isEmpty())
        throw DeviceError(DeviceError::Kind::Io, QStringLiteral("no serial port given"));
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw DeviceError(DeviceError::Kind::Io,
                          systemError(QStringLiteral("open %1").arg(path), errno));
    if (!makeRawTerminal(fd, baudRate)) {
        const int err = errno;
        ::close(fd);
        throw DeviceError(DeviceError::Kind::Io,
                          systemError(QStringLiteral("%1 is not a serial port").arg(path), err));
    }
    // Bytes left over from an earlier conversation would be taken for the answer.
    ::tcflush(fd, TCIOFLUSH);
    return std::make_unique<FdTransport>(fd, false);
}
