#pragma once
// The terminal's own comma-separated export, read straight into a sheet, so that the user no
// longer has to turn it into a workbook first. Hand-written: Qt has no CSV reader and the
// distribution packages none for Qt; the format needed here is small (RFC 4180 quoting).

#include "workbook.h"

#include <QByteArray>
#include <QString>

// The largest export accepted; a terminal's export is far smaller.
constexpr qint64 MaxCsvExportBytes = qint64(64) << 20;

// Fields separated by "," or ";" (whichever the first line holds more of outside quotes),
// optionally in double quotes with "" for a quote inside; records end in CR LF, LF or CR and
// a quoted field may hold line ends. UTF-8 (a leading byte order mark is skipped), or
// Windows Turkish single-byte text when the bytes are not UTF-8. Blank lines are skipped.
// Every field is a text cell; short rows are filled with empty cells. Pure; throws
// ConversionError (BadSheet) on an unterminated quote or an empty file.
Sheet parseCsvExport(const QByteArray& bytes);

// Reads the file and parses it; throws ConversionError when it cannot be read or is too large.
Sheet readCsvExport(const QString& path);
