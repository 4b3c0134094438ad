#pragma once
// The record files: veri.txt, the monthly backup yedek_selvanor/mmyyyy.txt and, when asked,
// veri2.txt. They are only ever appended to. A writer locks them while it appends one
// terminal's lines, so the window and a scheduled collect never interleave, and puts the lines
// on disk (fsync) before anything may be cleared from that terminal.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

// A record file that cannot be created, opened, locked or written; the text names the file.
class RecordFileError : public std::runtime_error {
public:
    explicit RecordFileError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// One file opened for appending (created when missing). Lines are gathered in a buffer and
// written in large pieces; sync() writes what is left and waits until the disk has it.
class RecordFile {
public:
    explicit RecordFile(const QString& path);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Exclusive lock shared with every other writer of the file, in any process; waits for it.
    void lock();
    void unlock();
    // Adds the line (as UTF-8) and a carriage return and line feed.
    void appendLine(const QString& line) { appendLine(line.toUtf8()); }
    void appendLine(const QByteArray& line);
    void sync();
    QString path() const { return path_; }

private:
    void writeBuffer();

    QString path_;
    int fd_ = -1;
    bool locked_ = false;
    QByteArray buffer_;
};

class RecordFiles {
public:
    // Opens veri.txt, veri2.txt when secondFile, and yedek_selvanor/<mmyyyy>.txt for the month
    // of today (the folder is created when missing), all in folder. Throws RecordFileError.
    RecordFiles(const QString& folder, bool secondFile, const QDate& today);

    static QString backupFileName(const QDate& today);

    // All files, always in the same order, so writers cannot deadlock.
    void lock();
    void unlock();
    // The line goes to veri.txt, then the backup file, then veri2.txt.
    void appendLine(const QString& line);
    // Flushes and fsyncs every file; throws RecordFileError when one cannot be written.
    void sync();

private:
    std::vector<std::unique_ptr<RecordFile>> files_; // veri.txt, backup, veri2.txt
};

// Keeps records dated outside the read range that a clear would otherwise lose:
// yedek_selvanor/tarih_disi.txt, same line format. Locked, appended and synced in one call.
void appendOutOfRangeLines(const QString& folder, const QStringList& lines);
