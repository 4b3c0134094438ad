#pragma once
// Why an exported file could not be converted. The window shows the text as it is.

#include <QString>
#include <stdexcept>

class ConversionError : public std::runtime_error {
public:
    enum class Kind {
        // The file cannot be read as a workbook at all (the "Excele bağlanamadı" case).
        CannotOpen,
        // The file was read but its sheet or a row of it cannot be converted.
        BadSheet,
    };

    ConversionError(Kind kind, const QString& text)
        : std::runtime_error(text.toStdString()), kind_(kind) {}

    Kind kind() const { return kind_; }
    QString text() const { return QString::fromStdString(what()); }

private:
    Kind kind_;
};
