// The record answer (GetDeviceData 13) as BytesToRecords reads it.
#include "sdk.h"
#include "wire_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto records = TZd2911Tools::BytesToRecords(ByteVector(data, data + size));
        // What decodes must encode again to a list that decodes the same.
        std::vector<wire::WireRecord> again;
        for (const IRecordExt& r : records)
            again.push_back(
                {wire::wallSeconds(r.RecordTime), r.EnrollNumber, r.TerminalNumber, r.StateCode});
        if (wire::decodeRecords(wire::encodeRecords(again)).size() != records.size())
            __builtin_trap();
    } catch (const DeviceError&) {
    }
    return 0;
}
