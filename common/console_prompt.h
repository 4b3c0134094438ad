#pragma once
// Prompt of the command-line commands: messages one a line on standard output, errors on
// standard error, questions answered by a fixed choice (--yes), file choosers empty.

#include "prompt.h"

class ConsolePrompt : public Prompt {
public:
    explicit ConsolePrompt(bool answerYes = false) : answerYes_(answerYes) {}

    void message(const QString& text) override;
    void warning(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    QString openFileName(const QString&, const QString&) override { return QString(); }
    QStringList openFileNames(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override {
        return QString();
    }

    int errorCount() const { return errors_; }

private:
    bool answerYes_;
    int errors_ = 0;
};

// Lines printed to standard output as they arrive.
class StdoutSink : public LineSink {
public:
    void clear() override {}
    void addLine(const QString& line) override;
};
