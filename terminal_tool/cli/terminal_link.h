#pragma once
// The commands that work on one terminal of the list reach it the same way.

#include "device_session.h"

#include <QString>
#include <functional>

class Prompt;

// Connects session to the terminal of that name in the folder's list, runs work and closes
// the link however work ends. Exit status: 0 when work returns true, 1 when it returns
// false, the link cannot be made or a device error ends it, 2 when the terminal is not listed
// or the store cannot be read.
int runOnNamedTerminal(const QString& folder, const QString& name, Prompt& prompt,
                       DeviceSession& session, const std::function<bool()>& work);
