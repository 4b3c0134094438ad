#include "csv_export.h"

#include "conversion_error.h"

#include <QFile>
#include <QStringDecoder>

namespace {

[[noreturn]] void badCsv(const QString& text) {
    throw ConversionError(ConversionError::Kind::BadSheet, text);
}

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder turkish("windows-1254");
    return turkish.isValid() ? turkish.decode(bytes) : QString::fromLatin1(bytes);
}

// The separator the first line uses most, outside quotes.
QChar separatorOf(const QString& text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace

Sheet parseCsvExport(const QByteArray& bytes) {
    QString text = decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.trimmed().isEmpty())
        badCsv(QStringLiteral("CSV dosyası boş"));
    const QChar separator = separatorOf(text);

    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldWasQuoted = false;
    int line = 1; // where the current record starts, for the message
    int recordLine = 1;
    auto endField = [&] {
        checkSheetSize(qint64(records.size()) + 1, record.size() + 1);
        record.append(field);
        field.clear();
        fieldWasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        // A line with nothing on it is no record.
        if (record.size() > 1 || !record.first().isEmpty() || fieldWasQuoted) {
            records.push_back(record);
        }
        record.clear();
        recordLine = line;
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !fieldWasQuoted) {
            quoted = true;
            fieldWasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
        }
    }
    if (quoted)
        badCsv(
            QStringLiteral("CSV dosyasında %1. satırda açılan tırnak kapanmıyor").arg(recordLine));
    if (!field.isEmpty() || !record.isEmpty() || fieldWasQuoted)
        endRecord();

    int columns = 0;
    for (const QStringList& r : records)
        columns = qMax(columns, int(r.size()));
    checkSheetSize(qint64(records.size()), columns);
    std::vector<SheetCell> cells;
    cells.reserve(records.size() * size_t(columns));
    for (const QStringList& r : records) {
        for (int column = 0; column < columns; ++column) {
            SheetCell cell;
            if (column < r.size() && !r.at(column).isEmpty()) {
                cell.kind = SheetCell::Kind::Text;
                cell.value = r.at(column);
            }
            cells.push_back(cell);
        }
    }
    return Sheet(int(records.size()), columns, std::move(cells));
}

Sheet readCsvExport(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        badCsv(QStringLiteral("%1: dosya açılamadı: %2").arg(path, file.errorString()));
    if (file.size() > MaxCsvExportBytes)
        badCsv(QStringLiteral("%1: dosya çok büyük (en çok %2 MB)")
                   .arg(path)
                   .arg(MaxCsvExportBytes >> 20));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        badCsv(QStringLiteral("%1: dosya okunamadı: %2").arg(path, file.errorString()));
    try {
        return parseCsvExport(bytes);
    } catch (const ConversionError& e) {
        badCsv(QStringLiteral("%1: %2").arg(path, e.text()));
    }
}
