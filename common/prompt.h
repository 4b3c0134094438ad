#pragma once
// Everything an operation says to or asks of the user goes through this interface:
// the window shows Qt dialogs, the command line prints and answers from its flags,
// tests answer from a script and record every text.

#include <QString>
#include <QStringList>

class Prompt {
public:
    virtual ~Prompt() = default;

    // Plain box with an OK button, captioned with the program's title: results, device failures.
    virtual void message(const QString& text) = 0;
    // "UYARI" box with an information icon and an OK button.
    virtual void warning(const QString& text) = 0;
    // "UYARI" box with Yes and No buttons; true for Yes.
    virtual bool confirm(const QString& text) = 0;
    // Error box with the error's own text (an error a handler did not catch).
    virtual void error(const QString& text) = 0;

    // File choosers; an empty result (or list) means the user cancelled.
    virtual QString openFileName(const QString& folder, const QString& filter) = 0;
    virtual QStringList openFileNames(const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& folder, const QString& proposedName,
                                 const QString& filter) = 0;
};

// Lines of a memo (Memo1, Memo3, Memo4, Memo5): the window appends, the command line prints,
// tests collect.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void clear() = 0;
    virtual void addLine(const QString& line) = 0;
};

// Progress of long work and the cancel flag the work checks where it may stop.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void step(qint64 done, qint64 total) = 0;
    virtual bool cancelled() const { return false; }
};

class NullProgress : public Progress {
public:
    void step(qint64, qint64) override {}
};
