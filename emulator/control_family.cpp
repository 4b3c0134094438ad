#include "control_family.h"

#include "control_codec.h"
#include "device_error.h"

#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <cstdio>

using namespace control;

namespace {

QString operationName(const frame::Frame& request) {
    // The flag or backup number completes the name where the payload can be read.
    const auto withNumber = [&request](const char* name, std::size_t offset) {
        QString op = QLatin1String(name);
        if (request.payload.size() >= offset + 4)
            op +=
                QLatin1Char(':') +
                QString::number(decodeInt(ByteVector(request.payload.begin() + long(offset),
                                                     request.payload.begin() + long(offset) + 4)));
        return op;
    };
    switch (request.command) {
    case CmdLink:
        return QStringLiteral("link");
    case CmdSetEnabled:
        return withNumber("set_enabled", 0);
    case CmdWrite:
        return withNumber("write", 8);
    case CmdRemove:
        return withNumber("remove", 8);
    case CmdUnlink:
        return QStringLiteral("unlink");
    default:
        return QStringLiteral("command_%1").arg(request.command);
    }
}

class ControlSession : public FrameSession {
public:
    explicit ControlSession(ControlFamily& family) : family_(family) {}
    ~ControlSession() override { family_.linkClosed(); }
    ControlSession(const ControlSession&) = delete;
    ControlSession& operator=(const ControlSession&) = delete;

protected:
    Reply answer(const frame::Frame& request) override { return family_.answer(request); }

private:
    ControlFamily& family_;
};

} // namespace

ControlFamily::ControlFamily(const QString& statePath, const FaultPlan& faults)
    : path_(statePath), faults_(faults) {}

bool ControlFamily::load() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("%1: %2").arg(path_, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        error_ = QStringLiteral("%1: %2").arg(path_, parseError.errorString());
        return false;
    }
    terminal_ = std::make_unique<ControlTerminal>(doc.object());
    return true;
}

std::unique_ptr<LinkSession> ControlFamily::newSession() {
    return std::make_unique<ControlSession>(*this);
}

Reply ControlFamily::answer(const frame::Frame& request) {
    Reply reply;
    reply.operation = operationName(request);
    frame::Frame out;
    if (FaultPlan::matches(faults_.refuse, reply.operation)) {
        out = request;
        out.status = frame::Refused;
        out.payload = encodeInt(ErrRefused);
    } else {
        out = terminal_->answer(request);
    }
    reply.bytes = frame::encode(out);
    saveIfRequested();
    return reply;
}

void ControlFamily::linkClosed() {
    terminal_->linkClosed();
    saveIfRequested();
}

void ControlFamily::saveIfRequested() {
    if (!terminal_->takeSaveRequest())
        return;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(terminal_->state()).toJson()) < 0 || !file.commit())
        std::fprintf(stderr, "terminal-emulator: cannot save %s: %s\n", qPrintable(path_),
                     qPrintable(file.errorString()));
}
