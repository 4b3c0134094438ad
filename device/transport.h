#pragma once
// Byte streams to a terminal. The protocol code receives an open transport and never opens
// a socket or port itself. Implementations use plain file descriptors with poll() deadlines,
// so a transport opened on one thread can be used from another and no call waits forever.

#include "frame.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

class Transport {
public:
    virtual ~Transport() = default;
    // Writes every byte within timeoutMs or throws DeviceError (Io, Timeout).
    virtual void write(const std::uint8_t* data, std::size_t size, int timeoutMs) = 0;
    // Waits up to timeoutMs for at least one byte and returns how many were read (1..max).
    // Throws DeviceError(Timeout) when nothing arrives, DeviceError(Io) when the link is gone.
    virtual std::size_t read(std::uint8_t* data, std::size_t max, int timeoutMs) = 0;
    virtual void close() = 0;
};

// Gathers the answers read from a link into whole frames, reading in large blocks.
class FrameReader {
public:
    // The next whole frame. Throws DeviceError(Protocol) on a malformed frame, or what the
    // link throws. lastFrame() then holds the frame's bytes as received.
    frame::Frame read(Transport& link, int timeoutMs);
    const std::uint8_t* lastFrame() const { return inbox_.data() + start_ - lastSize_; }
    std::size_t lastFrameSize() const { return lastSize_; }
    // Forgets what was read (a new link).
    void clear();

private:
    ByteVector inbox_;
    std::size_t start_ = 0; // where the next frame begins in inbox_
    std::size_t lastSize_ = 0;
};

// A transport over an open descriptor (socket, serial device, pseudo-terminal); owns it.
class FdTransport : public Transport {
public:
    FdTransport(int fd, bool isSocket);
    ~FdTransport() override;
    FdTransport(const FdTransport&) = delete;
    FdTransport& operator=(const FdTransport&) = delete;

    void write(const std::uint8_t* data, std::size_t size, int timeoutMs) override;
    std::size_t read(std::uint8_t* data, std::size_t max, int timeoutMs) override;
    void close() override;

private:
    int fd_;
    bool isSocket_;
};

// Connects to host:port within timeoutMs; throws DeviceError (Io, Timeout) on failure.
std::unique_ptr<Transport> openTcpTransport(const QString& host, int port, int timeoutMs);

// Opens a serial or USB character device raw at the given baud rate (8 data bits, no parity,
// one stop bit, no flow control); pseudo-terminals are accepted as they are.
// Throws DeviceError(Io) when the device cannot be opened.
std::unique_ptr<Transport> openSerialTransport(const QString& path, int baudRate);

// Puts an open terminal descriptor into raw mode at baudRate; false if it is not a terminal.
bool makeRawTerminal(int fd, int baudRate);
