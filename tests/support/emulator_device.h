#pragma once
// The device object that reaches an emulated terminal on loopback with its default log-in.

#include "emulator_process.h"
#include "sdk.h"

inline IDevice tcpDevice(const EmulatorProcess& emulator) {
    IDevice d;
    d.DeviceNumber = 1;
    d.Password = QStringLiteral("0");
    d.ConnectionKind = 1;
    d.IpAddress = QStringLiteral("127.0.0.1");
    d.NetworkPort = emulator.port();
    d.TimeoutMs = 2000;
    return d;
}
