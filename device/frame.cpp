#include "frame.h"

#include <array>

namespace frame {

namespace {

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr auto crcTable = makeCrcTable();

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
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        c = crcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
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
