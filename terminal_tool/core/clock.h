#pragma once
// Setting and reading the terminal's clock. Neither command marks the terminal busy: both are
// single short calls.

#include "byte_vector.h"

#include <QString>

class DeviceSession;
class Prompt;

// The clock answer (year - 2000, month, day, hour, minute, second) as "2024-3-5 9:7:0": plain
// decimal numbers without leading zeros. Empty when the answer holds fewer than six bytes.
QString clockText(const ByteVector& clockBytes);

// The terminal takes the computer's current date and time (the link supplies it).
// Shows "cihaz tarih saati ayarlandı.." or "HATA...tarih saat ayarlanamadı..".
bool setDeviceClock(DeviceSession& session, Prompt& prompt);

// Shows the terminal's date and time, or "Get the device time: Fail".
bool readDeviceClock(DeviceSession& session, Prompt& prompt);
