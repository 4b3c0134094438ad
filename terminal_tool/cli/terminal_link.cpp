#include "terminal_link.h"

#include "prompt.h"
#include "terminal_registry.h"

#include <optional>

int runOnNamedTerminal(const QString& folder, const QString& name, Prompt& prompt,
                       DeviceSession& session, const std::function<bool()>& work) {
    std::optional<TerminalRecord> row;
    try {
        row = TerminalRegistry(folder + QStringLiteral("Data.db")).byName(name);
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 2;
    }
    if (!row) {
        prompt.error(QStringLiteral("Terminal bulunamadı: %1").arg(name));
        return 2;
    }
    struct CloseOnExit {
        DeviceSession& session;
        ~CloseOnExit() { session.CloseSession(); }
    } closeOnExit{session};
    try {
        if (!session.OpenSession(*row)) {
            prompt.error(QStringLiteral("Hata..Bağlantı Kurulamadı...."));
            return 1;
        }
        return work() ? 0 : 1;
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 1;
    }
}
