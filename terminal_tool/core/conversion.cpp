#include "conversion.h"

#include "byte_vector.h"
#include "conversion_error.h"
#include "csv_export.h"
#include "record_files.h"
#include "record_line.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

// Columns taken by position, counted from 1.
constexpr int FieldColumn = 2;
constexpr int UserColumn = 3;
constexpr int DateTimeColumn = 9;

const QString SheetName = QStringLiteral("Sayfa1");

[[noreturn]] void badRow(int sheetRow, const QString& text) {
    throw ConversionError(ConversionError::Kind::BadSheet,
                          QStringLiteral("Satır %1: %2").arg(sheetRow).arg(text));
}

// A blank or a control character would split the record line or shift its fields.
bool fitsInLine(const QString& text) {
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

// The number written with count digits at pos of text, or -1. Hand-made: Qt's pattern
// parsing costs more than the rest of a row's conversion together.
int digitsAt(QStringView text, int pos, int count) {
    if (pos < 0 || pos + count > text.size())
        return -1;
    int value = 0;
    for (int i = pos; i < pos + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// text at pos in the form given by the separators: "dd.mm.yyyy" or "yyyy-mm-dd".
QDate dateAt(QStringView text, int pos, bool dayFirst) {
    const QChar separator = dayFirst ? QLatin1Char('.') : QLatin1Char('-');
    const int first = dayFirst ? 2 : 4;
    if (pos + 10 > text.size() || text[pos + first] != separator ||
        text[pos + first + 3] != separator)
        return QDate();
    const int year = dayFirst ? digitsAt(text, pos + 6, 4) : digitsAt(text, pos, 4);
    const int month = digitsAt(text, pos + first + 1, 2);
    const int day = dayFirst ? digitsAt(text, pos, 2) : digitsAt(text, pos + 8, 2);
    return QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate();
}

// "hh:nn:ss" at pos of text.
QTime timeAt(QStringView text, int pos) {
    if (pos + 8 > text.size() || text[pos + 2] != QLatin1Char(':') ||
        text[pos + 5] != QLatin1Char(':'))
        return QTime();
    const int hour = digitsAt(text, pos, 2);
    const int minute = digitsAt(text, pos + 3, 2);
    const int second = digitsAt(text, pos + 6, 2);
    return QTime::isValid(hour, minute, second) ? QTime(hour, minute, second) : QTime();
}

bool isBlankRow(const Sheet& sheet, int row) {
    for (int column = 0; column < sheet.columns(); ++column) {
        if (sheet.cell(row, column).kind != SheetCell::Kind::Empty)
            return false;
    }
    return true;
}

// The terminal's comma-separated export is read as it is; anything else goes to the
// workbook reader, which says what is wrong with a file that is no workbook.
Sheet readExport(const QString& path, const WorkbookReaderOptions& options) {
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return readCsvExport(path);
    return readWorkbookSheet(path, SheetName, options);
}

} // namespace

void applyConversionTextFormats(TextFormats& formats) {
    formats.thousandSeparator = QChar();
    formats.decimalSeparator = QLatin1Char('.');
    formats.dateSeparator = QLatin1Char('.');
    formats.timeSeparator = QLatin1Char(':');
    formats.shortDateFormat = QStringLiteral("dd.mm.yyyy");
    formats.longDateFormat = QStringLiteral("dddd, dd mmmm yyyy");
}

QString chooseExportFile(Prompt& prompt, const QString& programFolder) {
    return prompt.openFileName(programFolder, QString());
}

QString exportCellText(const SheetCell& cell, const TextFormats& formats) {
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return QString();
    case SheetCell::Kind::Number: {
        QString text =
            QLocale::c().toString(cell.value.toDouble(), 'f', QLocale::FloatingPointShortest);
        return text.replace(QLatin1Char('.'), formats.decimalSeparator);
    }
    case SheetCell::Kind::DateTime: {
        const QDate date = dateAt(cell.value, 0, false);
        const QTime time = timeAt(cell.value, 11);
        if (cell.value.size() != 19 || cell.value[10] != QLatin1Char(' ') || !date.isValid() ||
            !time.isValid())
            return cell.value;
        return formatDateTime(formats.shortDateFormat + QLatin1Char(' ') + formats.longTimeFormat,
                              QDateTime(date, time), formats);
    }
    case SheetCell::Kind::Date: {
        const QDate date = dateAt(cell.value, 0, false);
        if (cell.value.size() != 10 || !date.isValid())
            return cell.value;
        return formatDateTime(formats.shortDateFormat, QDateTime(date, QTime(0, 0)), formats);
    }
    case SheetCell::Kind::Time: {
        const QTime time = timeAt(cell.value, 0);
        if (cell.value.size() != 8 || !time.isValid())
            return cell.value;
        return formatDateTime(formats.longTimeFormat, QDateTime(QDate(1899, 12, 30), time),
                              formats);
    }
    case SheetCell::Kind::Integer:
    case SheetCell::Kind::Text:
        break;
    }
    return cell.value;
}

QString exportRecordLine(const QString& field, const QString& user, const QString& dateTime,
                         int sheetRow) {
    if (user.isEmpty())
        badRow(sheetRow, QStringLiteral("%1. sütunda sicil numarası yok.").arg(UserColumn));
    if (!fitsInLine(user))
        badRow(sheetRow, QStringLiteral("%1. sütundaki sicil numarası \"%2\" boşluk ya da "
                                        "denetim karakteri içeriyor.")
                             .arg(UserColumn)
                             .arg(user));
    if (!fitsInLine(field))
        badRow(sheetRow, QStringLiteral("%1. sütundaki değer \"%2\" boşluk ya da denetim "
                                        "karakteri içeriyor.")
                             .arg(FieldColumn)
                             .arg(field));
    if (dateTime.trimmed().isEmpty())
        badRow(sheetRow, QStringLiteral("%1. sütunda tarih-saat yok.").arg(DateTimeColumn));
    // Characters 1 to 10 are the date, 12 to 19 the time; only blanks may follow.
    const QString date = dateTime.left(10);
    const QString time = dateTime.mid(11, 8);
    if (!dateAt(dateTime, 0, true).isValid() || dateTime.size() < 19 ||
        dateTime[10] != QLatin1Char(' ') || !timeAt(dateTime, 11).isValid() ||
        !dateTime.mid(19).trimmed().isEmpty())
        badRow(sheetRow, QStringLiteral("%1. sütundaki tarih-saat \"%2\" geçerli değil; "
                                        "gg.aa.yyyy ss:dd:ss biçiminde olmalı (örnek: "
                                        "05.03.2011 08:30:00).")
                             .arg(DateTimeColumn)
                             .arg(dateTime));
    return PadLeftZeros(user, 5) + QLatin1Char(' ') + date + QLatin1Char(' ') + time +
           QLatin1Char(' ') + PadLeftZeros(field, 2);
}

QStringList exportLines(const Sheet& sheet, const TextFormats& formats, LineSink& memo,
                        Progress& progress) {
    if (sheet.columns() < DateTimeColumn)
        throw ConversionError(ConversionError::Kind::BadSheet,
                              QStringLiteral("Sayfada en az %1 sütun olmalı; bu sayfada %2 "
                                             "sütun var.")
                                  .arg(DateTimeColumn)
                                  .arg(sheet.columns()));
    const int total = qMax(0, sheet.rows() - 1);
    progress.step(0, total);
    QStringList lines;
    lines.reserve(total);
    for (int row = 1; row < sheet.rows(); ++row) {
        if (!isBlankRow(sheet, row)) {
            auto text = [&](int column) {
                return exportCellText(sheet.cell(row, column - 1), formats);
            };
            const QString line = exportRecordLine(text(FieldColumn), text(UserColumn),
                                                  text(DateTimeColumn), row + 1);
            memo.addLine(line);
            lines.append(line);
        }
        progress.step(row, total);
    }
    return lines;
}

std::optional<int> convertExportFile(const QString& programFolder, const QString& path,
                                     const TextFormats& formats, Prompt& prompt, LineSink& memo,
                                     Progress& progress,
                                     const WorkbookReaderOptions& readerOptions) {
    // Opening a large workbook takes seconds and cannot be counted: the bar just shows work.
    progress.step(0, 0);
    Sheet sheet;
    try {
        sheet = readExport(path, readerOptions);
    } catch (const ConversionError& e) {
        progress.step(0, 1); // the bar stands still again
        if (e.kind() == ConversionError::Kind::CannotOpen)
            prompt.message(QStringLiteral("Hata....Excele bağlanamadı..."));
        prompt.error(e.text());
        return std::nullopt;
    }

    memo.clear();
    QStringList lines;
    try {
        lines = exportLines(sheet, formats, memo, progress);
    } catch (const ConversionError& e) {
        prompt.error(e.text());
        return std::nullopt;
    }

    try {
        RecordFile veri(QDir(programFolder).filePath(QStringLiteral("veri.txt")));
        veri.lock();
        for (const QString& line : lines)
            veri.appendLine(line);
        veri.sync();
        veri.unlock();
    } catch (const RecordFileError& e) {
        prompt.error(QString::fromStdString(e.what()));
        return std::nullopt;
    }
    return int(lines.size());
}
