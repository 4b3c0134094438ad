#pragma once
// The frame of the terminal protocol (docs/protocol.md, "Frames"): pure functions shared by
// the client and the emulator, no I/O.

#include "byte_vector.h"

#include <cstddef>
#include <cstdint>

namespace frame {

constexpr std::uint8_t Magic0 = 0x53; // 'S'
constexpr std::uint8_t Magic1 = 0x56; // 'V'
constexpr std::size_t HeaderSize = 14;
constexpr std::size_t TrailerSize = 4;
// Larger answers travel in chunks; a frame announcing more is malformed.
constexpr std::uint32_t MaxPayload = 1u << 20;

enum Command : std::uint8_t {
    Login = 0x01,
    GetDeviceData = 0x10,
    SetDeviceData = 0x11,
    GetUserData = 0x20,
    SetUserData = 0x21,
};

enum Status : std::uint8_t {
    Ok = 0x00,          // the answer, or its last piece
    Chunk = 0x01,       // one piece of a long answer; more follow
    Refused = 0x02,     // the terminal declined the command
    NotLoggedIn = 0x03, // a command before a successful log-in
    BadRequest = 0x04,  // the request's payload could not be read
    UnknownCommand = 0x05,
};

struct Frame {
    std::uint8_t command = 0;
    std::uint8_t status = 0;
    std::uint32_t device = 0;
    std::uint16_t sequence = 0;
    ByteVector payload;
};

enum class Parse { Complete, NeedMore, Malformed };

// CRC-32 (IEEE 802.3, reflected, initial and final value 0xFFFFFFFF).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size);

ByteVector encode(const Frame& frame);
// Appends the encoded frame to out (no intermediate copy of the payload).
void encodeInto(ByteVector& out, std::uint8_t command, std::uint8_t status, std::uint32_t device,
                std::uint16_t sequence, const std::uint8_t* payload, std::size_t payloadSize);

// Reads one frame from the start of data. Complete: frame filled, consumed = its size.
// NeedMore: the bytes so far are a valid beginning. Malformed: bad magic, length or checksum.
Parse decode(const std::uint8_t* data, std::size_t size, Frame& frame, std::size_t& consumed);

} // namespace frame
