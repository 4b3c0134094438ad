#include "device_session.h"

#include "prompt.h"

#include <QDir>

namespace {

// A column that must hold a whole number; a conversion error ends the opening otherwise.
int wholeNumber(const QString& column, const QString& value) {
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok)
        throw DeviceError(
            DeviceError::Kind::DataFormat,
            QStringLiteral("'%1' is not a valid whole number (%2)").arg(value, column));
    return n;
}

bool sendStatus(DeviceSession& session, ByteVector& extraProperty, int status) {
    return session.connection().SetDeviceData(
        16, extraProperty, session.device(),
        TZd2911Tools::ValueToBytes(QString::number(status), 3));
}

} // namespace

DeviceSession::DeviceSession()
    : device_(CoDevice()), connection_(std::make_unique<TZd2911DeviceConnection>()) {}

DeviceSession::~DeviceSession() = default;

bool DeviceSession::OpenSession(const TerminalRecord& row) {
    if (connection_)
        connection_->CloseConnection();
    device_ = CoDevice();
    connection_ = std::make_unique<TZd2911DeviceConnection>();
    tools_ = TZd2911Tools();
    terminalName_ = row.name;
    sessionIp_ = row.ip;

    IDevice& d = *device_;
    d.DeviceNumber = wholeNumber(QStringLiteral("TerminalNo"), row.terminalNo);
    d.Password = row.password;
    d.ConnectOption = 5;
    d.Model = QStringLiteral("ZDC2911");
    if (row.tip == QLatin1String("usb")) {
        d.ConnectionKind = 2;
        d.SerialPortName = serialPortFor(row);
    } else if (row.tip == QLatin1String("com")) {
        // Serial terminals always talk at 9600 baud, whatever ComBaud holds.
        d.ConnectionKind = 0;
        d.BaudRate = 9600;
        d.SerialPortName = serialPortFor(row);
    } else if (row.tip == QLatin1String("ethernet")) {
        d.ConnectionKind = 1;
        d.IpAddress = row.ip;
        d.NetworkPort = wholeNumber(QStringLiteral("NetPort"), row.netPort);
        sessionIp_ = row.ip;
    }
    return connection_->OpenConnection(d) > 0;
}

void DeviceSession::CloseSession() {
    if (connection_)
        connection_->CloseConnection();
}

bool DeviceSession::isOpen() const {
    return connection_ && connection_->IsOpen();
}

bool DeviceSession::BeginDeviceWork(ByteVector& extraProperty, Prompt* prompt) {
    const bool ok = sendStatus(*this, extraProperty, CommStatusBusy);
    if (!ok && prompt)
        prompt->message(QStringLiteral("Setting device communication status to busy: Fail."));
    return ok;
}

bool DeviceSession::EndDeviceWork(ByteVector& extraProperty, Prompt* prompt) {
    const bool ok = sendStatus(*this, extraProperty, CommStatusIdle);
    if (!ok && prompt)
        prompt->message(QStringLiteral("Setting device communication status to idle: Fail"));
    return ok;
}

QString DeviceSession::serialPortFor(const TerminalRecord& row) {
    QString port = row.comPort.trimmed();
    // A path names the device itself (/dev/ttyUSB0, /dev/pts/5).
    if (port.contains(QLatin1Char('/')))
        return port;
    // n (or COMn, as rows written on Windows hold it) is the computer's n-th serial port.
    if (port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        port = port.mid(3);
    bool isNumber = false;
    const int n = port.toInt(&isNumber);
    if (isNumber && n >= 1)
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    if (row.tip == QLatin1String("usb")) {
        // The terminal's USB link shows up as a USB serial device; take the first one.
        const QDir dev(QStringLiteral("/dev"));
        for (const QString& pattern : {QStringLiteral("ttyACM*"), QStringLiteral("ttyUSB*")}) {
            const QStringList found = dev.entryList({pattern}, QDir::System, QDir::Name);
            if (!found.isEmpty())
                return dev.filePath(found.first());
        }
        return QString();
    }
    return QStringLiteral("/dev/ttyS0");
}
