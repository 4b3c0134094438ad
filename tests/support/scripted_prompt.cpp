#include "scripted_prompt.h"

ScriptedPrompt::ScriptedPrompt(const QString& title) : title_(title) {}

void ScriptedPrompt::answerConfirm(bool yes) {
    QMutexLocker lock(&mutex_);
    confirms_.enqueue(yes);
}

void ScriptedPrompt::answerFile(const QString& path) { answerFiles({path}); }

void ScriptedPrompt::answerFiles(const QStringList& paths) {
    QMutexLocker lock(&mutex_);
    files_.enqueue(paths);
}

void ScriptedPrompt::record(Kind kind, const QString& caption, const QString& text) {
    QMutexLocker lock(&mutex_);
    entries_.append({kind, caption, text});
}

void ScriptedPrompt::message(const QString& text) { record(Kind::Message, title_, text); }
void ScriptedPrompt::warning(const QString& text) {
    record(Kind::Warning, QStringLiteral("UYARI"), text);
}
bool ScriptedPrompt::confirm(const QString& text) {
    record(Kind::Confirm, QStringLiteral("UYARI"), text);
    QMutexLocker lock(&mutex_);
    return confirms_.isEmpty() ? false : confirms_.dequeue();
}
void ScriptedPrompt::error(const QString& text) { record(Kind::Error, title_, text); }

QString ScriptedPrompt::openFileName(const QString& folder, const QString& filter) {
    const QStringList files = openFileNames(folder, filter);
    QMutexLocker lock(&mutex_);
    if (!entries_.isEmpty())
        entries_.last().kind = Kind::OpenFile;
    return files.value(0);
}

QStringList ScriptedPrompt::openFileNames(const QString& folder, const QString& filter) {
    record(Kind::OpenFiles, QString(), folder);
    QMutexLocker lock(&mutex_);
    lastFolder_ = folder;
    lastFilter_ = filter;
    return files_.isEmpty() ? QStringList() : files_.dequeue();
}

QString ScriptedPrompt::saveFileName(const QString& folder, const QString& proposedName,
                                     const QString& filter) {
    record(Kind::SaveFile, QString(), folder);
    QMutexLocker lock(&mutex_);
    lastFolder_ = folder;
    lastFilter_ = filter;
    lastProposedName_ = proposedName;
    return files_.isEmpty() ? QString() : files_.dequeue().value(0);
}

QList<ScriptedPrompt::Entry> ScriptedPrompt::entries() const {
    QMutexLocker lock(&mutex_);
    return entries_;
}

QStringList ScriptedPrompt::texts() const {
    QMutexLocker lock(&mutex_);
    QStringList out;
    for (const Entry& e : entries_)
        if (e.kind != Kind::OpenFile && e.kind != Kind::OpenFiles && e.kind != Kind::SaveFile)
            out << e.text;
    return out;
}

QStringList ScriptedPrompt::texts(Kind kind) const {
    QMutexLocker lock(&mutex_);
    QStringList out;
    for (const Entry& e : entries_)
        if (e.kind == kind)
            out << e.text;
    return out;
}

void ScriptedPrompt::clear() {
    QMutexLocker lock(&mutex_);
    entries_.clear();
}

QString ScriptedPrompt::lastFolder() const {
    QMutexLocker lock(&mutex_);
    return lastFolder_;
}
QString ScriptedPrompt::lastFilter() const {
    QMutexLocker lock(&mutex_);
    return lastFilter_;
}
QString ScriptedPrompt::lastProposedName() const {
    QMutexLocker lock(&mutex_);
    return lastProposedName_;
}

void LineCollector::clear() {
    QMutexLocker lock(&mutex_);
    lines_.clear();
}
void LineCollector::addLine(const QString& line) {
    QMutexLocker lock(&mutex_);
    lines_.append(line);
}
QStringList LineCollector::lines() const {
    QMutexLocker lock(&mutex_);
    return lines_;
}
