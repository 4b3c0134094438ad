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

class ControlSession : public LinkSession {
public:
    explicit ControlSession(ControlFamily& family) : family_(family) {}
    ~ControlSession() override { family_.linkClosed(); }
    ControlSession(const ControlSession&) = delete;
    ControlSession& operator=(const ControlSession&) = delete;

    std::vector<Reply> receive(const std::uint8_t* data, std::size_t size) override {
        inbox_.insert(inbox_.end(), data, data + size);
        std::vector<Reply> replies;
        std::size_t start = 0;
        for (;;) {
            frame::Frame f;
            std::size_t used = 0;
            const auto parse = frame::decode(inbox_.data() + start, inbox_.size() - start, f, used);
            if (parse == frame::Parse::NeedMore)
                break;
            if (parse == frame::Parse::Malformed) {
                // A damaged frame is dropped up to the next possible frame start.
                const auto next =
                    std::find(inbox_.begin() + long(start) + 1, inbox_.end(), frame::Magic0);
                start = static_cast<std::size_t>(next - inbox_.begin());
                continue;
            }
            start += used;
            replies.push_back(family_.answer(f));
        }
        inbox_.erase(inbox_.begin(), inbox_.begin() + long(start));
        return replies;
    }

private:
    ControlFamily& family_;
    ByteVector inbox_;
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
