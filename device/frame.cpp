#include "frame.h"

#include <algorithm>
#include <zlib.h>

namespace frame {

namespace {

void putLe(ByteVector& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t getLe(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    // zlib's CRC-32 is the same function, several times faster than a byte-wise table.
    uLong c = ::crc32(0L, Z_NULL, 0);
    while (size > 0) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        c = ::crc32(c, data, n);
        data += n;
        size -= n;
    }
    return static_cast<std::uint32_t>(c);
}

void encodeInto(ByteVector& out, std::uint8_t command, std::uint8_t status, std::uint32_t device,
                std::uint16_t sequence, const std::uint8_t* payload, std::size_t payloadSize) {
    const std::size_t start = out.size();
    out.reserve(start + HeaderSize + payloadSize + TrailerSize);
    out.push_back(Magic0);
    out.push_back(Magic1);
    putLe(out, payloadSize, 4);
    out.push_back(command);
    out.push_back(status);
    putLe(out, device, 4);
    putLe(out, sequence, 2);
    out.insert(out.end(), payload, payload + payloadSize);
    putLe(out, crc32(out.data() + start, out.size() - start), 4);
}

ByteVector encode(const Frame& f) {
    ByteVector out;
    encodeInto(out, f.command, f.status, f.device, f.sequence, f.payload.data(), f.payload.size());
    return out;
}

Parse decode(const std::uint8_t* data, std::size_t size, Frame& f, std::size_t& consumed) {
    if ((size >= 1 && data[0] != Magic0) || (size >= 2 && data[1] != Magic1))
        return Parse::Malformed;
    if (size < HeaderSize)
        return Parse::NeedMore;
    const std::uint32_t length = getLe(data + 2, 4);
    if (length > MaxPayload)
        return Parse::Malformed;
    const std::size_t total = HeaderSize + length + TrailerSize;
    if (size < total)
        return Parse::NeedMore;
    if (crc32(data, HeaderSize + length) != getLe(data + HeaderSize + length, 4))
        return Parse::Malformed;
    f.command = data[6];
    f.status = data[7];
    f.device = getLe(data + 8, 4);
    f.sequence = static_cast<std::uint16_t>(getLe(data + 12, 2));
    f.payload.assign(data + HeaderSize, data + HeaderSize + length);
    consumed = total;
    return Parse::Complete;
}

} // namespace frame
