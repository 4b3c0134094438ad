#pragma once
// Conversion of a terminal's USB export into veri.txt ("usb dosya->text (veri.txt)"): the
// sheet "Sayfa1" of an Excel 97-2003 workbook made from the export, or the comma-separated
// export itself, becomes one shortened record line per row, appended to veri.txt in the
// program folder. Nothing is written unless every row converted.

#include "prompt.h"
#include "text_formats.h"
#include "workbook.h"

#include <QString>
#include <optional>

// Sets the text formats the conversion reads and writes with: no thousands separator, "."
// for decimals and dates, ":" for times, "dd.mm.yyyy" and "dddd, dd mmmm yyyy". The long time
// format stays as it is. Call on the window thread before the work starts.
void applyConversionTextFormats(TextFormats& formats);

// The file dialog: starts in the program folder, no file-type filter. Empty when cancelled.
QString chooseExportFile(Prompt& prompt, const QString& programFolder);

// A cell as text: a date-time as the short date format, a blank and the long time format; a
// number as plain decimal text without thousands separators; text as it is.
QString exportCellText(const SheetCell& cell, const TextFormats& formats);

// The line of one row from the texts of its columns 2 (two-digit field), 3 (user number) and
// 9 (date and time), e.g. "00123 05.03.2011 08:30:00 01". sheetRow (counted from 1, the
// title row being 1) names the row in the error. Throws ConversionError (BadSheet) when the
// user number is empty or holds control characters, or the date and time is not
// "dd.mm.yyyy hh:nn:ss" (a record line built from it would be wrong).
QString exportRecordLine(const QString& field, const QString& user, const QString& dateTime,
                         int sheetRow);

// The lines of every row after the title row; blank rows are skipped. Throws ConversionError
// (BadSheet) when the sheet has fewer than nine columns or a row cannot be converted.
// memo receives each line as it is built, progress one step per row.
QStringList exportLines(const Sheet& sheet, const TextFormats& formats, LineSink& memo,
                        Progress& progress);

// The conversion of the file at path into veri.txt of programFolder, after the dialog and
// the text formats: reads the file (a .csv file as the terminal's export, any other as a workbook), empties
// memo, converts every row, then appends all lines to veri.txt at once and puts them on disk.
// Failures are shown through prompt: a file that cannot be read as a workbook with
// "Hata....Excele bağlanamadı..." followed by the reason, sheet and row problems and record
// file errors with their own text. Returns the number of lines appended, or nothing when it
// stopped on a failure (then veri.txt is unchanged).
std::optional<int> convertExportFile(const QString& programFolder, const QString& path,
                                     const TextFormats& formats, Prompt& prompt, LineSink& memo,
                                     Progress& progress,
                                     const WorkbookReaderOptions& readerOptions = {});
