// selvanor-xls-reader FILE SHEET
//
// Prints the cells of the named sheet (name compared without regard to ASCII case) of an
// Excel 97-2003 workbook on standard output, in the form that selvanor's workbook reader
// parses:
//
//   selvanor-xls-cells 1\n
//   <rows> <columns>\n
//   rows x columns cells, row by row, each <kind><byte count>:<bytes>
//   end\n
//
// kinds: N empty, I integer, F decimal number, S text (UTF-8), D date "YYYY-MM-DD",
// X date and time "YYYY-MM-DD HH:MM:SS", T time "HH:MM:SS".
//
// Exit status: 0 cells printed; 1 wrong arguments; 2 the file cannot be opened as a workbook;
// 3 no sheet of that name; 4 the sheet cannot be read. The reason is on standard error.
// The library is not safe on hostile files, so the caller runs this program with limits on
// memory and time and treats a crash as "cannot be opened".

#include <freexl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

enum Status { Ok = 0, Usage = 1, CannotOpen = 2, NoSheet = 3, CannotRead = 4 };

const char* errorText(int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return "the file does not exist or cannot be read";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "not enough memory for the workbook";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return "the file is not an Excel 97-2003 workbook";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "the file holds no workbook stream";
    case FREEXL_CRAFTED_FILE:
        return "the workbook is severely damaged";
    default:
        return "the workbook is damaged or of an unsupported kind";
    }
}

int fail(int status, const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return status;
}

void put(char kind, const char* bytes, size_t size) {
    std::printf("%c%zu:", kind, size);
    std::fwrite(bytes, 1, size, stdout);
}

void put(char kind, const std::string& text) {
    put(kind, text.data(), text.size());
}

bool putCell(const FreeXL_CellValue& cell) {
    switch (cell.type) {
    case FREEXL_CELL_NULL:
        put('N', "", 0);
        return true;
    case FREEXL_CELL_INT:
        put('I', std::to_string(cell.value.int_value));
        return true;
    case FREEXL_CELL_DOUBLE: {
        char text[64];
        const int size = std::snprintf(text, sizeof text, "%.17g", cell.value.double_value);
        put('F', text, static_cast<size_t>(size));
        return true;
    }
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        const char* text = cell.value.text_value ? cell.value.text_value : "";
        const char kind = cell.type == FREEXL_CELL_DATE       ? 'D'
                          : cell.type == FREEXL_CELL_DATETIME ? 'X'
                          : cell.type == FREEXL_CELL_TIME     ? 'T'
                                                              : 'S';
        put(kind, text, std::strlen(text));
        return true;
    }
    default:
        return false;
    }
}

int printSheet(const void* handle, const char* sheetName) {
    unsigned int sheetCount = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK)
        return fail(CannotOpen, "the workbook's sheet list cannot be read");
    unsigned int found = sheetCount;
    for (unsigned int i = 0; i < sheetCount && found == sheetCount; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) == FREEXL_OK &&
            name && strcasecmp(name, sheetName) == 0)
            found = i;
    }
    if (found == sheetCount)
        return fail(NoSheet, std::string("the workbook has no sheet named \"") + sheetName + "\"");

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(found)) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return fail(CannotRead, "the sheet's size cannot be read");

    std::printf("selvanor-xls-cells 1\n%u %u\n", rows, static_cast<unsigned>(columns));
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK || !putCell(cell))
                return fail(CannotRead, "cell " + std::to_string(row + 1) + "/" +
                                            std::to_string(column + 1) + " cannot be read");
        }
    }
    std::printf("end\n");
    return std::fflush(stdout) == 0 ? Ok : fail(CannotRead, "the cells cannot be handed over");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return fail(Usage, "usage: selvanor-xls-reader FILE SHEET");
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

    if (std::FILE* file = std::fopen(argv[1], "rb")) {
        const bool empty = std::fgetc(file) == EOF;
        std::fclose(file);
        if (empty)
            return fail(CannotOpen, "the file is empty");
    }
    const void* handle = nullptr;
    const int opened = freexl_open(argv[1], &handle);
    if (opened != FREEXL_OK) {
        // The library may leave a handle behind on failure; it is not safe to close.
        return fail(CannotOpen, errorText(opened));
    }
    // A damaged file can be reported as opened without a handle.
    if (!handle)
        return fail(CannotOpen, "the workbook is damaged (opened without a handle)");
    const int status = printSheet(handle, argv[2]);
    freexl_close(handle);
    return status;
}
