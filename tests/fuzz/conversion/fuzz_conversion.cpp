// Fuzz target: arbitrary bytes as the workbook reader's answer (first byte even) or as the
// terminal's CSV export (first byte odd), on through to the record lines. Nothing may crash,
// hang or take unbounded memory; bad input ends in a ConversionError, and no line that gets
// through may hold a line break.

#include "conversion.h"
#include "conversion_error.h"
#include "csv_export.h"
#include "workbook.h"

#include <cstdint>
#include <cstdlib>

namespace {

class NoMemo : public LineSink {
public:
    void clear() override {}
    void addLine(const QString&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    try {
        const Sheet sheet = (data[0] & 1) ? parseCsvExport(bytes) : parseReaderOutput(bytes);
        TextFormats formats;
        applyConversionTextFormats(formats);
        NoMemo memo;
        NullProgress progress;
        for (const QString& line : exportLines(sheet, formats, memo, progress)) {
            if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
                std::abort();
        }
    } catch (const ConversionError&) {
    }
    return 0;
}
