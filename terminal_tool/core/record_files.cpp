#include "record_files.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Large enough that 200,000 lines cost a few hundred writes, small enough to stay cheap.
constexpr qsizetype BufferLimit = 64 * 1024;

QString systemError(const QString& what, const QString& path) {
    return QStringLiteral("%1 %2: %3")
        .arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

QString backupFolder(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("yedek_selvanor"));
}

} // namespace

RecordFile::RecordFile(const QString& path) : path_(path) {
    const QByteArray native = QFile::encodeName(path);
    do {
        fd_ = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw RecordFileError(systemError(QStringLiteral("Kayıt dosyası açılamadı:"), path));
    buffer_.reserve(BufferLimit);
}

RecordFile::~RecordFile() {
    // Lines not yet written out on an error path still belong in the file: every line already
    // handed over is kept, as promised to the caller. Failures here cannot be reported.
    if (!buffer_.isEmpty()) {
        try {
            writeBuffer();
        } catch (const RecordFileError&) {
        }
    }
    ::close(fd_); // also releases the lock
}

void RecordFile::lock() {
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        throw RecordFileError(systemError(QStringLiteral("Kayıt dosyası kilitlenemedi:"), path_));
    locked_ = true;
}

void RecordFile::unlock() {
    writeBuffer();
    ::flock(fd_, LOCK_UN);
    locked_ = false;
}

void RecordFile::appendLine(const QByteArray& line) {
    buffer_ += line;
    buffer_ += "\r\n";
    if (buffer_.size() >= BufferLimit)
        writeBuffer();
}

void RecordFile::writeBuffer() {
    if (buffer_.isEmpty())
        return;
    // Where the file ended before this piece: a piece that cannot be written whole (disk full)
    // is taken back, so the file never ends in half a line.
    struct stat st {};
    const off_t before = ::fstat(fd_, &st) == 0 ? st.st_size : -1;
    const char* data = buffer_.constData();
    qsizetype left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString text = systemError(QStringLiteral("Kayıt dosyasına yazılamadı:"), path_);
            // Only under the lock is the end of the file ours to take back.
            if (before >= 0 && locked_) {
                [[maybe_unused]] const int ignored = ::ftruncate(fd_, before);
            }
            buffer_.clear();
            throw RecordFileError(text);
        }
        data += n;
        left -= n;
    }
    buffer_.clear();
}

void RecordFile::sync() {
    writeBuffer();
    int rc;
    do {
        rc = ::fsync(fd_);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        throw RecordFileError(
            systemError(QStringLiteral("Kayıt dosyası diske yazılamadı:"), path_));
}

RecordFiles::RecordFiles(const QString& folder, bool secondFile, const QDate& today) {
    const QDir dir(folder);
    files_.push_back(std::make_unique<RecordFile>(dir.filePath(QStringLiteral("veri.txt"))));
    std::unique_ptr<RecordFile> second;
    if (secondFile)
        second = std::make_unique<RecordFile>(dir.filePath(QStringLiteral("veri2.txt")));
    const QString backup = backupFolder(folder);
    if (!QDir().mkpath(backup))
        throw RecordFileError(QStringLiteral("Klasör oluşturulamadı: %1").arg(backup));
    files_.push_back(std::make_unique<RecordFile>(QDir(backup).filePath(backupFileName(today))));
    if (second)
        files_.push_back(std::move(second));
}

QString RecordFiles::backupFileName(const QDate& today) {
    return today.toString(QStringLiteral("MMyyyy")) + QStringLiteral(".txt");
}

void RecordFiles::lock() {
    for (auto& file : files_)
        file->lock();
}

void RecordFiles::unlock() {
    for (auto& file : files_)
        file->unlock();
}

void RecordFiles::appendLine(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    for (auto& file : files_)
        file->appendLine(bytes);
}

void RecordFiles::sync() {
    for (auto& file : files_)
        file->sync();
}

void appendOutOfRangeLines(const QString& folder, const QStringList& lines) {
    const QString backup = backupFolder(folder);
    if (!QDir().mkpath(backup))
        throw RecordFileError(QStringLiteral("Klasör oluşturulamadı: %1").arg(backup));
    RecordFile file(QDir(backup).filePath(QStringLiteral("tarih_disi.txt")));
    file.lock();
    for (const QString& line : lines)
        file.appendLine(line);
    file.sync();
    file.unlock();
}
