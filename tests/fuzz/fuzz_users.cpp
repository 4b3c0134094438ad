// The user list (GetDeviceData 14) as BytesToUsers reads it, and one user (GetUserData).
#include "sdk.h"
#include "wire_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteVector bytes(data, data + size);
    try {
        const auto users = TZd2911Tools::BytesToUsers(bytes);
        for (const UserPtr& u : users) {
            if (!u || u->Enrolls.empty())
                __builtin_trap();
        }
    } catch (const DeviceError&) {
    }
    try {
        const IUserExt u = wire::decodeUser(bytes);
        if (u.Enrolls.empty())
            __builtin_trap();
    } catch (const DeviceError&) {
    }
    return 0;
}
