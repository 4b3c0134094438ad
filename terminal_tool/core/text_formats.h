#pragma once
// The process-wide text formats for dates, times and numbers. Start-up sets the date
// formats; the download and the conversion set the rest when they run, and the values
// stay in force afterwards. Patterns use "/" for the date separator and ":" for the
// time separator.

#include <QString>

struct TextFormats {
    QString shortDateFormat = QStringLiteral("dd.mm.yyyy");
    QString longDateFormat = QStringLiteral("dddd, dd mmmm yyyy");
    QString shortTimeFormat = QStringLiteral("hh:nn");
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
    QChar dateSeparator = QLatin1Char('.');
    QChar timeSeparator = QLatin1Char(':');
    QChar decimalSeparator = QLatin1Char('.');
    QChar thousandSeparator; // null: none
};

// The one instance of the program. Set from the window thread before work starts.
TextFormats& processTextFormats();
