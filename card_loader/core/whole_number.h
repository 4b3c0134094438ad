#pragma once

#include <QString>

// Reads text as a signed 32-bit whole number, as settings and terminal rows store numbers.
// Throws std::runtime_error "'<text>' is not a valid integer value" otherwise.
int wholeNumber(const QString& text);
