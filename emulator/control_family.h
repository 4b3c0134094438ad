#pragma once
// terminal-emulator --family control: serves a ControlTerminal over the link server, applies
// the fault plan's refusals and keeps the state file up to date.

#include "control_terminal.h"
#include "fault_plan.h"
#include "link_server.h"

#include <QString>

class ControlFamily : public TerminalFamily {
public:
    ControlFamily(const QString& statePath, const FaultPlan& faults);
    // false with errorText() when the state file cannot be read.
    bool load();
    QString errorText() const { return error_; }

    std::unique_ptr<LinkSession> newSession() override;

    // The answer to one request, named for the fault plan ("link", "set_enabled:0",
    // "write:11", "remove:15", "unlink").
    Reply answer(const frame::Frame& request);
    // The link of a session ended.
    void linkClosed();

private:
    void saveIfRequested();

    QString path_;
    FaultPlan faults_;
    std::unique_ptr<ControlTerminal> terminal_;
    QString error_;
};
