#pragma once
// The cells of one sheet of an exported file, and the reading of an Excel 97-2003 workbook's
// sheet through the child program selvanor-xls-reader. The workbook library is not safe on
// damaged or hostile files, so it only ever runs in that short-lived child, under limits on
// memory, processor time and wall time; whatever happens there reaches selvanor as a
// ConversionError.

#include <QByteArray>
#include <QString>
#include <vector>

struct SheetCell {
    enum class Kind : char { Empty, Integer, Number, Text, Date, DateTime, Time };
    Kind kind = Kind::Empty;
    // Integer and Number: C-locale decimal text; Date "yyyy-MM-dd"; DateTime
    // "yyyy-MM-dd HH:mm:ss"; Time "HH:mm:ss"; Text as it is.
    QString value;
};

class Sheet {
public:
    Sheet() = default;
    Sheet(int rows, int columns, std::vector<SheetCell> cells);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // row and column count from 0; outside the sheet gives an empty cell.
    const SheetCell& cell(int row, int column) const;

private:
    int rows_ = 0;
    int columns_ = 0;
    std::vector<SheetCell> cells_; // row by row
};

// The most rows and columns an Excel 97-2003 sheet can hold.
constexpr int MaxSheetRows = 65536;
constexpr int MaxSheetColumns = 256;
// The most cells a sheet may hold here: every row of a sheet, 64 columns wide. A terminal's
// export has about ten columns; the limit keeps a hostile file from taking all memory.
constexpr qint64 MaxSheetCells = qint64(MaxSheetRows) * 64;

// Throws ConversionError (BadSheet) when a sheet of this size is beyond the limits above.
void checkSheetSize(qint64 rows, qint64 columns);

// Turns the reader's printed cells into a sheet. Pure; throws ConversionError (CannotOpen)
// when the text is not exactly what the reader prints.
Sheet parseReaderOutput(const QByteArray& output);

struct WorkbookReaderOptions {
    QString readerPath;                   // empty: selvanor-xls-reader next to the running program
    qint64 memoryBytes = qint64(1) << 30; // address space of the child
    int cpuSeconds = 60;
    int wallSeconds = 120;
    qint64 outputBytes = qint64(256) << 20; // what the child may print
};

// Whether the child's address space is limited: not in sanitizer builds, whose shadow memory
// needs far more address space than any such limit allows.
bool readerMemoryIsLimited();

// Reads the sheet named sheetName (any ASCII case) of the workbook at path. Throws
// ConversionError: CannotOpen when the file cannot be read as a workbook (the child failed,
// crashed or hit a limit; the text says which), BadSheet when the sheet is missing.
Sheet readWorkbookSheet(const QString& path, const QString& sheetName,
                        const WorkbookReaderOptions& options = {});
