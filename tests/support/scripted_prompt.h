#pragma once
// The tests' Prompt: answers from a script and records every text with its kind and caption.
// Safe to use from an operation's worker thread.

#include "prompt.h"

#include <QList>
#include <QMutex>
#include <QQueue>
#include <QStringList>

class ScriptedPrompt : public Prompt {
public:
    enum class Kind { Message, Warning, Confirm, Error, OpenFile, OpenFiles, SaveFile };
    struct Entry {
        Kind kind;
        QString caption; // "UYARI" for warnings and questions, the title for messages
        QString text;
    };

    explicit ScriptedPrompt(const QString& title = QStringLiteral("Selvano"));

    // Answers given in order; a question without a scripted answer is answered No,
    // a file chooser without one is cancelled.
    void answerConfirm(bool yes);
    void answerFile(const QString& path);
    void answerFiles(const QStringList& paths);

    void message(const QString& text) override;
    void warning(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    QString openFileName(const QString& folder, const QString& filter) override;
    QStringList openFileNames(const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& folder, const QString& proposedName,
                         const QString& filter) override;

    QList<Entry> entries() const;
    // Texts only, in order (all kinds).
    QStringList texts() const;
    // Texts of one kind.
    QStringList texts(Kind kind) const;
    void clear();

    // What the last file chooser was given.
    QString lastFolder() const;
    QString lastFilter() const;
    QString lastProposedName() const;

private:
    void record(Kind kind, const QString& caption, const QString& text);

    mutable QMutex mutex_;
    QString title_;
    QList<Entry> entries_;
    QQueue<bool> confirms_;
    QQueue<QStringList> files_;
    QString lastFolder_, lastFilter_, lastProposedName_;
};

// Collects memo lines.
class LineCollector : public LineSink {
public:
    void clear() override;
    void addLine(const QString& line) override;
    QStringList lines() const;

private:
    mutable QMutex mutex_;
    QStringList lines_;
};
