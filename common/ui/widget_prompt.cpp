#include "widget_prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QThread>

#include <exception>

void runOnUiThread(const std::function<void()>& fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread() == app->thread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, fn, Qt::BlockingQueuedConnection);
}

namespace {
const QString kWarningCaption = QStringLiteral("UYARI");
const QString kUnknownError = QStringLiteral("Bilinmeyen hata.");
int backgroundWork = 0; // changed on the window thread only
} // namespace

int runningBackgroundWork() {
    return backgroundWork;
}

void runGuarded(Prompt& prompt, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
    } catch (...) {
        prompt.error(kUnknownError);
    }
}

WidgetPrompt::WidgetPrompt(QWidget* parent, const QString& title)
    : parent_(parent), title_(title) {}

void WidgetPrompt::message(const QString& text) {
    runOnUiThread([&] { QMessageBox::information(parent_, title_, text); });
}

void WidgetPrompt::warning(const QString& text) {
    runOnUiThread([&] { QMessageBox::information(parent_, kWarningCaption, text); });
}

bool WidgetPrompt::confirm(const QString& text) {
    bool yes = false;
    runOnUiThread([&] {
        yes = QMessageBox::question(parent_, kWarningCaption, text,
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    });
    return yes;
}

void WidgetPrompt::error(const QString& text) {
    runOnUiThread([&] { QMessageBox::critical(parent_, title_, text); });
}

QString WidgetPrompt::openFileName(const QString& folder, const QString& filter) {
    QString name;
    runOnUiThread([&] { name = QFileDialog::getOpenFileName(parent_, QString(), folder, filter); });
    return name;
}

QStringList WidgetPrompt::openFileNames(const QString& folder, const QString& filter) {
    QStringList names;
    runOnUiThread(
        [&] { names = QFileDialog::getOpenFileNames(parent_, QString(), folder, filter); });
    return names;
}

QString WidgetPrompt::saveFileName(const QString& folder, const QString& proposedName,
                                   const QString& filter) {
    QString name;
    runOnUiThread([&] {
        name = QFileDialog::getSaveFileName(parent_, QString(), folder + proposedName, filter);
    });
    return name;
}

MemoSink::MemoSink(QPlainTextEdit* memo) : memo_(memo) {}

void MemoSink::clear() {
    QMutexLocker lock(&mutex_);
    pending_.clear();
    clearPending_ = true;
    if (!flushPosted_) {
        flushPosted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { flush(); }, Qt::QueuedConnection);
    }
}

void MemoSink::addLine(const QString& line) {
    QMutexLocker lock(&mutex_);
    pending_.append(line);
    if (!flushPosted_) {
        flushPosted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { flush(); }, Qt::QueuedConnection);
    }
}

void MemoSink::flush() {
    QStringList lines;
    bool clearFirst = false;
    {
        QMutexLocker lock(&mutex_);
        lines.swap(pending_);
        clearFirst = clearPending_;
        clearPending_ = false;
        flushPosted_ = false;
    }
    if (!memo_)
        return;
    if (clearFirst)
        memo_->clear();
    if (!lines.isEmpty())
        memo_->appendPlainText(lines.join(QLatin1Char('\n')));
}

BarProgress::BarProgress(QProgressBar* bar) : bar_(bar) {}

void BarProgress::step(qint64 done, qint64 total) {
    done_ = done;
    total_ = total;
    if (updatePosted_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            updatePosted_ = false;
            if (!bar_)
                return;
            const qint64 all = total_;
            // A bar counts in int; scale very large totals down.
            const qint64 scale = all > 1000000 ? all / 1000000 + 1 : 1;
            bar_->setRange(0, static_cast<int>(all / scale));
            bar_->setValue(static_cast<int>(done_ / scale));
        },
        Qt::QueuedConnection);
}

void runInBackground(QWidget* context, QAbstractButton* button, bool busyCursor, Prompt& prompt,
                     std::function<void()> work, std::function<void()> done) {
    if (button)
        button->setEnabled(false);
    if (busyCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    QPointer<QAbstractButton> guardedButton(button);
    ++backgroundWork;
    QThread* thread =
        QThread::create([work = std::move(work), &prompt] { runGuarded(prompt, work); });
    QObject::connect(thread, &QThread::finished, context,
                     [thread, guardedButton, busyCursor, done = std::move(done)] {
                         --backgroundWork;
                         if (busyCursor)
                             QApplication::restoreOverrideCursor();
                         if (guardedButton)
                             guardedButton->setEnabled(true);
                         thread->deleteLater();
                         if (done)
                             done();
                     });
    thread->start();
}
