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

DateTimePattern::DateTimePattern(const QString& pattern, const TextFormats& formats) {
    const QString lower = pattern.toLower();
    for (qsizetype i = 0; i < lower.size();) {
        if (QStringView(lower).mid(i, 4) == QLatin1String("yyyy")) {
            parts_.push_back({Field::Year, QChar()});
            i += 4;
            continue;
        }
        const QStringView token = QStringView(lower).mid(i, 2);
        Field field = Field::Literal;
        if (token == QLatin1String("dd"))
            field = Field::Day;
        else if (token == QLatin1String("mm"))
            field = Field::Month;
        else if (token == QLatin1String("hh"))
            field = Field::Hour;
        else if (token == QLatin1String("nn"))
            field = Field::Minute;
        else if (token == QLatin1String("ss"))
            field = Field::Second;
        if (field != Field::Literal) {
            parts_.push_back({field, QChar()});
            i += 2;
            continue;
        }
        const QChar c = pattern.at(i);
        parts_.push_back({Field::Literal, c == QLatin1Char('/')   ? formats.dateSeparator
                                          : c == QLatin1Char(':') ? formats.timeSeparator
                                                                  : c});
        ++i;
    }
}

void DateTimePattern::appendTo(QString& out, const QDateTime& time) const {
    const QDate date = time.date();
    const QTime clock = time.time();
    auto two = [&out](int value) {
        out += QLatin1Char(static_cast<char>('0' + value / 10 % 10));
        out += QLatin1Char(static_cast<char>('0' + value % 10));
    };
    for (const Part& part : parts_) {
        switch (part.field) {
        case Field::Literal:
            out += part.literal;
            break;
        case Field::Year:
            two(date.year() / 100);
            two(date.year() % 100);
            break;
        case Field::Month:
            two(date.month());
            break;
        case Field::Day:
            two(date.day());
            break;
        case Field::Hour:
            two(clock.hour());
            break;
        case Field::Minute:
            two(clock.minute());
            break;
        case Field::Second:
            two(clock.second());
            break;
        }
    }
}

RecordLineFormatter::RecordLineFormatter(Format format, const QString& ip, int blanksBeforeIp,
                                         const TextFormats& formats)
    : format_(format), ipSuffix_(QString(blanksBeforeIp, QLatin1Char(' ')) + ip),
      time_(format == Format::Dorvak ? QStringLiteral("yyyy-mm-dd hh:nn:ss")
                                     : QStringLiteral("dd/mm/yyyy hh:nn:ss"),
            formats) {}

QString RecordLineFormatter::line(const IRecordExt& record) const {
    const QString terminal = QString::number(record.TerminalNumber);
    const QString state = QString::number(record.StateCode);
    QString out;
    out.reserve(64);
    if (format_ == Format::Dorvak) {
        out += PadLeftZeros(terminal, 3) + QLatin1Char(',') +
               PadLeftZeros(record.EnrollNumber, 10) + QLatin1Char(',') + state + QLatin1Char(',');
        time_.appendTo(out, record.RecordTime);
        return out;
    }
    out += PadLeftZeros(record.EnrollNumber, 5) + QLatin1Char(' ');
    time_.appendTo(out, record.RecordTime);
    out += QLatin1Char(' ') + PadLeftZeros(terminal, 2) + QLatin1Char(' ') +
           PadLeftZeros(state, 2) + ipSuffix_;
    return out;
}
