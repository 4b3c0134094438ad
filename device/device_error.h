#pragma once
// The one short list of ways a terminal call can fail with an error status
// (a false result is the terminal's normal refusal and is not an error).

#include <QString>
#include <stdexcept>

class DeviceError : public std::runtime_error {
public:
    enum class Kind { Io, Timeout, Protocol, DataFormat, Refused, Cancelled };

    DeviceError(Kind kind, const QString& text)
        : std::runtime_error(text.toStdString()), kind_(kind) {}

    Kind kind() const { return kind_; }
    QString text() const { return QString::fromStdString(what()); }

private:
    Kind kind_;
};
