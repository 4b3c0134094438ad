#include "record_line.h"

#include "byte_vector.h"
#include "sdk.h"

void applyRecordTextFormats() {
    TextFormats& formats = processTextFormats();
    formats.thousandSeparator = QChar();
    formats.decimalSeparator = QLatin1Char('.');
    formats.dateSeparator = QLatin1Char('.');
    formats.timeSeparator = QLatin1Char(':');
    formats.shortTimeFormat = QStringLiteral("HH:nn");
    formats.longTimeFormat = QStringLiteral("HH:nn:ss");
    formats.shortDateFormat = QStringLiteral("dd") + formats.dateSeparator + QStringLiteral("mm") +
                              formats.dateSeparator + QStringLiteral("yyyy");
}

QString formatDateTime(const QString& pattern, const QDateTime& time, const TextFormats& formats) {
    const QDate date = time.date();
    const QTime clock = time.time();
    auto two = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    QString out;
    out.reserve(pattern.size());
    for (int i = 0; i < pattern.size();) {
        const QString rest = pattern.mid(i, 4).toLower();
        if (rest.startsWith(QLatin1String("yyyy"))) {
            out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            i += 4;
            continue;
        }
        const QString token = rest.left(2);
        if (token == QLatin1String("dd"))
            out += two(date.day());
        else if (token == QLatin1String("mm"))
            out += two(date.month());
        else if (token == QLatin1String("hh"))
            out += two(clock.hour());
        else if (token == QLatin1String("nn"))
            out += two(clock.minute());
        else if (token == QLatin1String("ss"))
            out += two(clock.second());
        else {
            const QChar c = pattern.at(i);
            out += c == QLatin1Char('/')   ? formats.dateSeparator
                   : c == QLatin1Char(':') ? formats.timeSeparator
                                           : c;
            ++i;
            continue;
        }
        i += 2;
    }
    return out;
}

RecordLineFormatter::RecordLineFormatter(Format format, const QString& ip, int blanksBeforeIp,
                                         const TextFormats& formats)
    : format_(format), ipSuffix_(QString(blanksBeforeIp, QLatin1Char(' ')) + ip),
      formats_(formats) {}

QString RecordLineFormatter::line(const IRecordExt& record) const {
    const QString terminal = QString::number(record.TerminalNumber);
    const QString state = QString::number(record.StateCode);
    if (format_ == Format::Dorvak)
        return PadLeftZeros(terminal, 3) + QLatin1Char(',') +
               PadLeftZeros(record.EnrollNumber, 10) + QLatin1Char(',') + state + QLatin1Char(',') +
               formatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), record.RecordTime, formats_);
    return PadLeftZeros(record.EnrollNumber, 5) + QLatin1Char(' ') +
           formatDateTime(QStringLiteral("dd/mm/yyyy hh:nn:ss"), record.RecordTime, formats_) +
           QLatin1Char(' ') + PadLeftZeros(terminal, 2) + QLatin1Char(' ') +
           PadLeftZeros(state, 2) + ipSuffix_;
}
