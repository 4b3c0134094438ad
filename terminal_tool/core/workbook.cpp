#include "workbook.h"

#include "conversion_error.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <sys/resource.h>

namespace {

const SheetCell EmptyCell;

[[noreturn]] void malformed(const char* what) {
    throw ConversionError(ConversionError::Kind::CannotOpen,
                          QStringLiteral("çalışma kitabı okuyucusunun yanıtı bozuk (%1)")
                              .arg(QString::fromUtf8(what)));
}

// Reads the reader's framed text front to back; every step checks what it takes.
class FrameParser {
public:
    explicit FrameParser(const QByteArray& bytes) : bytes_(bytes) {}

    void expect(const char* literal) {
        const qsizetype size = qsizetype(std::strlen(literal));
        if (bytes_.size() - pos_ < size || std::memcmp(bytes_.constData() + pos_, literal, size))
            malformed("biçim beklenenden farklı");
        pos_ += size;
    }

    // Decimal digits, at most max.
    qint64 number(qint64 max) {
        qint64 value = 0;
        const qsizetype start = pos_;
        while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
            value = value * 10 + (bytes_[pos_] - '0');
            if (value > max)
                malformed("sayı çok büyük");
            ++pos_;
        }
        if (pos_ == start)
            malformed("sayı bekleniyordu");
        return value;
    }

    char byte() {
        if (pos_ >= bytes_.size())
            malformed("yanıt eksik");
        return bytes_[pos_++];
    }

    QByteArray take(qint64 size) {
        if (bytes_.size() - pos_ < size)
            malformed("yanıt eksik");
        const QByteArray part = bytes_.mid(pos_, size);
        pos_ += size;
        return part;
    }

    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    const QByteArray& bytes_;
    qsizetype pos_ = 0;
};

SheetCell::Kind cellKind(char code) {
    switch (code) {
    case 'N':
        return SheetCell::Kind::Empty;
    case 'I':
        return SheetCell::Kind::Integer;
    case 'F':
        return SheetCell::Kind::Number;
    case 'S':
        return SheetCell::Kind::Text;
    case 'D':
        return SheetCell::Kind::Date;
    case 'X':
        return SheetCell::Kind::DateTime;
    case 'T':
        return SheetCell::Kind::Time;
    default:
        malformed("bilinmeyen hücre türü");
    }
}

SheetCell parseCell(FrameParser& parser) {
    SheetCell cell;
    cell.kind = cellKind(parser.byte());
    const qint64 size = parser.number(std::numeric_limits<int>::max());
    parser.expect(":");
    const QByteArray bytes = parser.take(size);
    bool ok = true;
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        ok = bytes.isEmpty();
        break;
    case SheetCell::Kind::Integer:
        bytes.toLongLong(&ok);
        break;
    case SheetCell::Kind::Number: {
        const double value = bytes.toDouble(&ok);
        ok = ok && std::isfinite(value);
        break;
    }
    default:
        break;
    }
    if (!ok)
        malformed("hücre değeri türüne uymuyor");
    cell.value = QString::fromUtf8(bytes);
    return cell;
}

QString signalText(int signal) {
    switch (signal) {
    case SIGXCPU:
        return QStringLiteral("işlemci süresi sınırı aşıldı");
    case SIGKILL:
        return QStringLiteral("okuyucu program durduruldu (bellek ya da süre sınırı)");
    default:
        return QStringLiteral("okuyucu program dosyayı okurken çöktü (sinyal %1: %2); dosya bozuk "
                              "ya da zararlı olabilir")
            .arg(signal)
            .arg(QString::fromLocal8Bit(strsignal(signal)));
    }
}

QString defaultReaderPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/selvanor-xls-reader");
}

} // namespace

bool readerMemoryIsLimited() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

Sheet::Sheet(int rows, int columns, std::vector<SheetCell> cells)
    : rows_(rows), columns_(columns), cells_(std::move(cells)) {}

const SheetCell& Sheet::cell(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_)
        return EmptyCell;
    return cells_[size_t(row) * size_t(columns_) + size_t(column)];
}

void checkSheetSize(qint64 rows, qint64 columns) {
    if (rows > MaxSheetRows || columns > MaxSheetColumns || rows * columns > MaxSheetCells)
        throw ConversionError(ConversionError::Kind::BadSheet,
                              QStringLiteral("sayfa çok büyük: %1 satır, %2 sütun (en çok %3 "
                                             "satır, %4 sütun ve %5 hücre okunur)")
                                  .arg(rows)
                                  .arg(columns)
                                  .arg(MaxSheetRows)
                                  .arg(MaxSheetColumns)
                                  .arg(MaxSheetCells));
}

Sheet parseReaderOutput(const QByteArray& output) {
    FrameParser parser(output);
    parser.expect("selvanor-xls-cells 1\n");
    const qint64 rows = parser.number(std::numeric_limits<int>::max());
    parser.expect(" ");
    const qint64 columns = parser.number(std::numeric_limits<int>::max());
    parser.expect("\n");
    checkSheetSize(rows, columns);
    // Every cell takes at least three bytes, so a short answer cannot ask for a large table.
    if (rows * columns * 3 > output.size())
        malformed("yanıt eksik");
    std::vector<SheetCell> cells;
    cells.reserve(size_t(rows) * size_t(columns));
    for (qint64 i = 0; i < rows * columns; ++i)
        cells.push_back(parseCell(parser));
    parser.expect("end\n");
    if (!parser.atEnd())
        malformed("sonda fazla veri");
    return Sheet(int(rows), int(columns), std::move(cells));
}

Sheet readWorkbookSheet(const QString& path, const QString& sheetName,
                        const WorkbookReaderOptions& options) {
    const QString file = QFileInfo(path).absoluteFilePath();
    auto fail = [&file](ConversionError::Kind kind, const QString& reason) {
        return ConversionError(kind, QStringLiteral("%1: %2").arg(file, reason));
    };

    QProcess reader;
    reader.setProgram(options.readerPath.isEmpty() ? defaultReaderPath() : options.readerPath);
    reader.setArguments({file, sheetName});
    reader.setStandardInputFile(QProcess::nullDevice());
    // RLIM_INFINITY leaves the address space as it is.
    const rlim_t memory = readerMemoryIsLimited() ? rlim_t(options.memoryBytes) : RLIM_INFINITY;
    const rlim_t cpu = rlim_t(options.cpuSeconds);
    // Runs in the child between fork and exec: only calls that are safe there.
    reader.setChildProcessModifier([memory, cpu] {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const rlimit cpuLimit{cpu, cpu + 1};
        setrlimit(RLIMIT_CPU, &cpuLimit);
        if (memory != RLIM_INFINITY) {
            const rlimit memoryLimit{memory, memory};
            setrlimit(RLIMIT_AS, &memoryLimit);
        }
    });
    reader.start();
    if (!reader.waitForStarted())
        throw fail(ConversionError::Kind::CannotOpen,
                   QStringLiteral("çalışma kitabı okuyucusu başlatılamadı (%1): %2")
                       .arg(reader.program(), reader.errorString()));

    QDeadlineTimer deadline(qint64(options.wallSeconds) * 1000);
    QByteArray output;
    while (reader.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            reader.kill();
            reader.waitForFinished();
            throw fail(ConversionError::Kind::CannotOpen,
                       QStringLiteral("çalışma kitabı %1 saniyede okunamadı; okuma durduruldu")
                           .arg(options.wallSeconds));
        }
        const int wait = int(qBound(qint64(1), deadline.remainingTime(), qint64(1000)));
        if (!reader.waitForReadyRead(wait))
            reader.waitForFinished(qMin(wait, 50));
        output += reader.readAllStandardOutput();
        if (output.size() > options.outputBytes) {
            reader.kill();
            reader.waitForFinished();
            throw fail(ConversionError::Kind::CannotOpen,
                       QStringLiteral("çalışma kitabının sayfası çok büyük"));
        }
    }
    output += reader.readAllStandardOutput();

    if (reader.exitStatus() == QProcess::CrashExit)
        throw fail(ConversionError::Kind::CannotOpen, signalText(reader.exitCode()));
    const QString reason = QString::fromUtf8(reader.readAllStandardError()).trimmed();
    switch (reader.exitCode()) {
    case 0:
        break;
    case 2: // not a workbook
    case 4: // the sheet cannot be read
        throw fail(ConversionError::Kind::CannotOpen, reason);
    case 3:
        throw fail(ConversionError::Kind::BadSheet, reason);
    default:
        throw fail(ConversionError::Kind::CannotOpen,
                   QStringLiteral("çalışma kitabı okuyucusu %1 koduyla bitti: %2")
                       .arg(reader.exitCode())
                       .arg(reason));
    }
    try {
        return parseReaderOutput(output);
    } catch (const ConversionError& e) {
        throw fail(e.kind(), e.text());
    }
}
