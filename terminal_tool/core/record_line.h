#pragma once
// The attendance record line, in the two formats the attendance software reads: the normal
// blank-separated line and the comma-separated Dorvak line. Pure: no I/O.

#include "text_formats.h"

#include <QDateTime>
#include <QString>
#include <vector>

struct IRecordExt;

// Sets the process-wide formats every download and collection works with: no thousands
// separator, "." for decimals and dates, ":" for times, "HH:nn" / "HH:nn:ss", "dd.mm.yyyy".
// Call on the window thread (the caller's thread) before the work starts.
void applyRecordTextFormats();

// A date-time pattern with the tokens yyyy, mm, dd, hh, nn, ss (any letter case); "/" stands
// for the date separator and ":" for the time separator of the formats given; every other
// character is copied as it is. Parsed once, rendered for many records.
class DateTimePattern {
public:
    DateTimePattern(const QString& pattern, const TextFormats& formats);
    void appendTo(QString& out, const QDateTime& time) const;

private:
    enum class Field { Literal, Year, Month, Day, Hour, Minute, Second };
    struct Part {
        Field field;
        QChar literal;
    };
    std::vector<Part> parts_;
};

inline QString formatDateTime(const QString& pattern, const QDateTime& time,
                              const TextFormats& formats) {
    QString out;
    DateTimePattern(pattern, formats).appendTo(out, time);
    return out;
}

class RecordLineFormatter {
public:
    enum class Format { Normal, Dorvak };

    // ip ends every normal line; blanksBeforeIp is 1 for a single download and 2 for the
    // collection from all terminals. formats is copied, so later changes do not affect lines.
    RecordLineFormatter(Format format, const QString& ip, int blanksBeforeIp,
                        const TextFormats& formats);

    QString line(const IRecordExt& record) const;

private:
    Format format_;
    QString ipSuffix_; // the blanks and the address
    DateTimePattern time_;
};
