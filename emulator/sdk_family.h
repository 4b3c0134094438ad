#pragma once
// The terminal side of our SDK protocol (docs/protocol.md): log-in, device data and user data,
// carried out on the emulated terminal's state.

#include "fault_plan.h"
#include "frame.h"
#include "link_server.h"
#include "terminal_state.h"

#include <optional>

class SdkFamily : public TerminalFamily {
public:
    SdkFamily(TerminalState& state, const FaultPlan& faults) : state_(state), faults_(faults) {}
    std::unique_ptr<LinkSession> newSession() override;

    // One request in, the whole answer out (one frame, or pieces for a long answer).
    Reply answer(const frame::Frame& request, bool& loggedIn);

private:
    struct Outcome {
        std::uint8_t status = frame::Refused;
        ByteVector payload;
        // An answer kept by the terminal, sent without copying it into payload.
        const ByteVector* kept = nullptr;
    };
    Outcome deviceData(bool get, const wire::DeviceRequest& q);
    Outcome userData(bool get, const wire::UserRequest& q);
    Outcome enrollAction(int action, const IUserExt& user);
    Outcome saved(Outcome outcome);

    TerminalState& state_;
    FaultPlan faults_;
    // The last record answer, as a terminal keeps its log ready to send; dropped when the
    // records change.
    struct RecordAnswer {
        std::size_t begin = 0;
        std::size_t end = 0;
        ByteVector bytes;
    };
    std::optional<RecordAnswer> recordAnswer_;
};
