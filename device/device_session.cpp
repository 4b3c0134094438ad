#include "device_session.h"

#include "prompt.h"

// Placeholder bodies until the session lands.

DeviceSession::DeviceSession()
    : device_(CoDevice()), connection_(std::make_unique<TZd2911DeviceConnection>()) {}
DeviceSession::~DeviceSession() = default;
bool DeviceSession::OpenSession(const TerminalRecord&) { return false; }
void DeviceSession::CloseSession() {}
bool DeviceSession::isOpen() const { return false; }
bool DeviceSession::BeginDeviceWork(ByteVector&, Prompt*) { return false; }
bool DeviceSession::EndDeviceWork(ByteVector&, Prompt*) { return false; }
QString DeviceSession::serialPortFor(const TerminalRecord&) { return QString(); }
