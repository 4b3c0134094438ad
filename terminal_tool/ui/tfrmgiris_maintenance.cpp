// Clock, administrator cancel, fingerprint wipe and the openers of the bell and enrollment
// windows.
#include "tfrmgiris.h"

#include "admin_cancel.h"
#include "clock.h"
#include "tenrollform.h"
#include "terminal_registry.h"
#include "tfrmzil.h"
#include "wipe.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>

namespace {

// The terminal link serves one thread at a time: while a maintenance command runs on its
// worker, the other device buttons and the wipe entry wait for it (runSessionWork holds the
// connect button).
void runDeviceCommand(Tfrmgiris& form, bool hourglass, std::function<void()> work) {
    QList<QPair<QPointer<QObject>, bool>> held;
    for (QPushButton* b :
         {form.BitBtn5, form.BitBtn6, form.BitBtn7, form.BitBtn8, form.BitBtn9, form.BitBtn10})
        held.append({b, b->isEnabled()});
    held.append({form.erminaldeTanmlTmParmakizleriniSil1,
                 form.erminaldeTanmlTmParmakizleriniSil1->isEnabled()});
    for (const auto& [control, enabled] : held)
        control->setProperty("enabled", false);
    form.runSessionWork(nullptr, hourglass, std::move(work), [held] {
        for (const auto& [control, enabled] : held)
            if (control)
                control->setProperty("enabled", enabled);
    });
}

// Modal secondary windows stand in for the main window while they are open.
void showInstead(Tfrmgiris& form, QDialog& window) {
    form.hide();
    window.exec();
    form.show();
}

} // namespace

void Tfrmgiris::BitBtn6Click() {
    runDeviceCommand(*this, true, [this] { setDeviceClock(session_, prompt_); });
}

void Tfrmgiris::BitBtn7Click() {
    runDeviceCommand(*this, true, [this] { readDeviceClock(session_, prompt_); });
}

void Tfrmgiris::BitBtn8Click() {
    runDeviceCommand(*this, true, [this] {
        // Qt connections belong to their thread: the worker opens its own.
        TerminalRegistry store(programFolder_ + QStringLiteral("Data.db"));
        cancelAdministrators(session_, store.database(), prompt_);
    });
}

void Tfrmgiris::BitBtn9Click() {
    showInstead(*this, *bellForm_);
}

void Tfrmgiris::BitBtn10Click() {
    enrollForm_->setTerminalName(session_.terminalName());
    showInstead(*this, *enrollForm_);
}

void Tfrmgiris::erminaldeTanmlTmParmakizleriniSil1Click() {
    runDeviceCommand(*this, false, [this] { wipeAllEnrollments(session_, prompt_); });
}
