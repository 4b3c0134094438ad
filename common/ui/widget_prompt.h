#pragma once
// The window side of Prompt, LineSink and Progress. Safe to call from a worker thread:
// each call is carried to the window thread, and a question waits there for the answer.

#include "prompt.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <functional>

class QAbstractButton;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

class WidgetPrompt : public Prompt {
public:
    // title: caption of plain message boxes; parent: the window the boxes belong to.
    WidgetPrompt(QWidget* parent, const QString& title);

    void message(const QString& text) override;
    void warning(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    QString openFileName(const QString& folder, const QString& filter) override;
    QStringList openFileNames(const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& folder, const QString& proposedName,
                         const QString& filter) override;

private:
    QPointer<QWidget> parent_;
    QString title_;
};

// Appends to a memo; lines from a worker are gathered and shown in batches, in order.
class MemoSink : public QObject, public LineSink {
public:
    explicit MemoSink(QPlainTextEdit* memo);
    void clear() override;
    void addLine(const QString& line) override;

private:
    void flush();

    QPointer<QPlainTextEdit> memo_;
    QMutex mutex_;
    QStringList pending_;
    bool clearPending_ = false;
    bool flushPosted_ = false;
};

// Drives a progress bar from any thread and carries a cancel flag.
class BarProgress : public QObject, public Progress {
public:
    explicit BarProgress(QProgressBar* bar);
    void step(qint64 done, qint64 total) override;
    bool cancelled() const override { return cancelled_; }
    void setCancelled(bool value) { cancelled_ = value; }

private:
    QPointer<QProgressBar> bar_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> updatePosted_{false};
    std::atomic<qint64> done_{0};
    std::atomic<qint64> total_{0};
};

// Runs work on a worker thread so the window keeps repainting. The button is disabled (and
// the hourglass shown when busyCursor) until the work ends; both are restored on every way
// out. An exception escaping the work is shown with prompt.error. done runs on the window
// thread afterwards.
void runInBackground(QWidget* context, QAbstractButton* button, bool busyCursor, Prompt& prompt,
                     std::function<void()> work, std::function<void()> done = {});

// How many runInBackground works have not ended yet (a window must not close under them).
int runningBackgroundWork();

// Runs a handler on the window thread; an error it does not catch ends it and is shown with
// prompt.error in its own text, and the program goes on.
void runGuarded(Prompt& prompt, const std::function<void()>& handler);

// Runs fn on the window thread and waits for it (directly when already there).
void runOnUiThread(const std::function<void()>& fn);
