// Requests as the terminal side reads them from a client.
#include "wire_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteVector bytes(data, data + size);
    try {
        wire::decodeDeviceRequest(bytes);
    } catch (const DeviceError&) {
    }
    try {
        wire::decodeUserRequest(bytes);
    } catch (const DeviceError&) {
    }
    return 0;
}
