// Frames as they arrive from a terminal: decode one after another as the client does.
#include "frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
        frame::Frame f;
        std::size_t used = 0;
        if (frame::decode(data + at, size - at, f, used) != frame::Parse::Complete)
            break;
        if (used == 0 || f.payload.size() + frame::HeaderSize + frame::TrailerSize != used)
            __builtin_trap();
        at += used;
    }
    return 0;
}
