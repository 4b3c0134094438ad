#include "commands.h"

#include "console_prompt.h"
#include "conversion.h"

#include <cstdio>

namespace {

// Every message of a conversion is part of a failure, so all of them go to standard error.
class ConvertPrompt : public ConsolePrompt {
public:
    void message(const QString& text) override { error(text); }
};

// The converted lines are in veri.txt; only their number is printed.
class DiscardSink : public LineSink {
public:
    void clear() override {}
    void addLine(const QString&) override {}
};

} // namespace

int runConvert(const QString& folder, const QStringList& args) {
    if (args.size() != 1) {
        std::fputs("usage: selvanor convert [--folder DIR] FILE\n", stderr);
        return 2;
    }
    applyConversionTextFormats(processTextFormats());
    ConvertPrompt prompt;
    DiscardSink memo;
    NullProgress progress;
    const std::optional<int> lines = convertExportFile(
        folder, args.first().trimmed(), processTextFormats(), prompt, memo, progress);
    if (!lines)
        return 1;
    std::printf("%d\n", *lines);
    return 0;
}
