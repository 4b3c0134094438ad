#pragma once
// Byte vectors: every argument and answer of a terminal call travels in one.
// Also the zero padding, the privilege table and the constants shared by all device work.

#include <QString>
#include <cstdint>
#include <vector>

using ByteVector = std::vector<std::uint8_t>;

constexpr int CommStatusBusy = 1;
constexpr int CommStatusIdle = 0;
constexpr int FingerprintTemplateSize = 498;
constexpr int FingerSlotCount = 10;
constexpr int BellTableSelector = 65;
constexpr int BellRecordSize = 8;

// Privilege values in the order of the privilege lists.
constexpr int PrivilegeValues[] = {1, 2, 4, 8, 16};

// Puts "0" in front of text until it is at least width long; never shortens.
QString PadLeftZeros(const QString& text, int width);

// A vector of count zero bytes; a negative count yields an empty vector.
ByteVector NewByteVector(int count);

// Stores the low 8 bits of value at index; false (and nothing stored) outside the vector.
bool PutByte(ByteVector& vector, int index, int value);

// Reads the byte at index into value; false (value untouched) outside the vector.
bool GetByte(const ByteVector& vector, int index, std::uint8_t& value);

// Copies count bytes one at a time; the target must already be long enough
// (bytes that would fall outside either vector are skipped rather than overrun).
void CopyBytes(const ByteVector& source, int sourceStart, ByteVector& target, int targetStart,
               int count);

// Two upper-case hex digits and one blank per byte, the last one included.
QString BytesToHex(const ByteVector& vector);

// List index 0..4 gives 1, 2, 4, 8, 16; any other index (-1 = nothing chosen) gives 1.
int PrivilegeFromIndex(int index);

// English name of a privilege value, empty for unknown values.
QString PrivilegeName(int privilege);
