#include "frame_tap.h"

#include "frame.h"
#include "wire_codec.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

QString nameOf(const frame::Frame& f) {
    if (f.command == frame::Login)
        return QStringLiteral("login");
    if (f.command != frame::GetDeviceData && f.command != frame::SetDeviceData)
        return QStringLiteral("user %1").arg(f.payload.empty() ? -1 : f.payload[0]);
    const bool get = f.command == frame::GetDeviceData;
    const wire::DeviceRequest q = wire::decodeDeviceRequest(f.payload);
    std::int32_t value = -1;
    if (!get && q.code == 16 && wire::valueFromBytes(q.extraData, value))
        return value == 1   ? QStringLiteral("busy")
               : value == 0 ? QStringLiteral("idle")
                            : QStringLiteral("status");
    return QStringLiteral("%1 %2")
        .arg(get ? QStringLiteral("get") : QStringLiteral("set"))
        .arg(q.code);
}

} // namespace

FrameTap::FrameTap(int upstreamPort) : upstreamPort_(upstreamPort) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t size = sizeof a;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listenFd_, 4) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
        throw std::runtime_error("frame tap: cannot listen");
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
}

FrameTap::~FrameTap() {
    stop_ = true;
    thread_.join();
    ::close(listenFd_);
}

QStringList FrameTap::requests() const {
    QMutexLocker lock(&mutex_);
    return requests_;
}

void FrameTap::clear() {
    QMutexLocker lock(&mutex_);
    requests_.clear();
}

void FrameTap::note(const QString& request) {
    QMutexLocker lock(&mutex_);
    requests_.append(request);
}

void FrameTap::run() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int client = ::accept(listenFd_, nullptr, nullptr);
        if (client >= 0)
            relay(client);
    }
}

void FrameTap::relay(int client) {
    const int upstream = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = loopback(upstreamPort_);
    if (::connect(upstream, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        ::close(upstream);
        ::close(client);
        return;
    }
    ByteVector pending; // program -> terminal bytes not yet read as a whole frame
    std::uint8_t buffer[65536];
    bool open = true;
    while (open && !stop_) {
        pollfd p[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
        if (::poll(p, 2, 50) <= 0)
            continue;
        for (int side = 0; side < 2 && open; ++side) {
            if (!(p[side].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(p[side].fd, buffer, sizeof buffer);
            if (n <= 0 ||
                ::send(p[1 - side].fd, buffer, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) {
                open = false;
                break;
            }
            if (side == 1)
                continue;
            pending.insert(pending.end(), buffer, buffer + n);
            frame::Frame f;
            std::size_t used = 0;
            while (frame::decode(pending.data(), pending.size(), f, used) ==
                   frame::Parse::Complete) {
                note(nameOf(f));
                pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
            }
        }
    }
    ::close(upstream);
    ::close(client);
}
