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
// 3 no sheet of that name; 4 the sheet cannot be read. The reason, in the user's language, is
// on standard error.
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
        return "dosya yok ya da okunamıyor";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "çalışma kitabı için bellek yetmedi";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return "dosya bir Excel 97-2003 çalışma kitabı değil";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "dosyada çalışma kitabı bulunamadı";
    case FREEXL_CRAFTED_FILE:
        return "çalışma kitabı ağır biçimde bozuk";
    default:
        return "çalışma kitabı bozuk ya da desteklenmeyen bir türde";
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
        return fail(CannotOpen, "çalışma kitabının sayfa listesi okunamadı");
    unsigned int found = sheetCount;
    for (unsigned int i = 0; i < sheetCount && found == sheetCount; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) == FREEXL_OK &&
            name && strcasecmp(name, sheetName) == 0)
            found = i;
    }
    if (found == sheetCount)
        return fail(NoSheet, std::string("çalışma kitabında \"") + sheetName + "\" adlı sayfa yok");

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(found)) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return fail(CannotRead, "sayfanın boyutu okunamadı");

    std::printf("selvanor-xls-cells 1\n%u %u\n", rows, static_cast<unsigned>(columns));
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK || !putCell(cell))
                return fail(CannotRead, "satır " + std::to_string(row + 1) + ", sütun " +
                                            std::to_string(column + 1) + " okunamadı");
        }
    }
    std::printf("end\n");
    return std::fflush(stdout) == 0 ? Ok : fail(CannotRead, "hücreler aktarılamadı");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return fail(Usage, "usage: selvanor-xls-reader FILE SHEET");
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

    // An Excel 97-2003 workbook is an OLE2 compound file; its first eight bytes say so.
    if (std::FILE* file = std::fopen(argv[1], "rb")) {
        static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        unsigned char head[8];
        const size_t size = std::fread(head, 1, sizeof head, file);
        std::fclose(file);
        if (size == 0)
            return fail(CannotOpen, "dosya boş");
        if (size < sizeof head || std::memcmp(head, signature, sizeof head) != 0)
            return fail(CannotOpen, "dosya bir Excel 97-2003 çalışma kitabı değil");
    }
    const void* handle = nullptr;
    const int opened = freexl_open(argv[1], &handle);
    if (opened != FREEXL_OK) {
        // The library may leave a handle behind on failure; it is not safe to close.
        return fail(CannotOpen, errorText(opened));
    }
    // A damaged file can be reported as opened without a handle.
    if (!handle)
        return fail(CannotOpen, "çalışma kitabı bozuk (açıldı ama kullanılamıyor)");
    const int status = printSheet(handle, argv[2]);
    freexl_close(handle);
    return status;
}
