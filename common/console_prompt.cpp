#include "console_prompt.h"

#include <cstdio>

namespace {
void printLine(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
} // namespace

void ConsolePrompt::message(const QString& text) { printLine(stdout, text); }
void ConsolePrompt::warning(const QString& text) { printLine(stdout, text); }
bool ConsolePrompt::confirm(const QString& text) {
    printLine(stdout, text + (answerYes_ ? QStringLiteral(" [evet]") : QStringLiteral(" [hayır]")));
    return answerYes_;
}
void ConsolePrompt::error(const QString& text) {
    ++errors_;
    printLine(stderr, text);
}
void StdoutSink::addLine(const QString& line) { printLine(stdout, line); }
