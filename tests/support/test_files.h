#pragma once
// Whole-file reads and writes for tests that compare files byte for byte.

#include <QByteArray>
#include <QString>

// The file's bytes; empty when it cannot be read.
QByteArray readFileBytes(const QString& path);
// Replaces the file's content; false when it cannot be written.
bool writeFileBytes(const QString& path, const QByteArray& data);
