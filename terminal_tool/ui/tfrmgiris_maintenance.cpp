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
#include <QPushButton>

namespace {

// Modal secondary windows stand in for the main window while they are open.
void showInstead(Tfrmgiris& form, QDialog& window) {
    form.hide();
    window.exec();
    form.show();
}

} // namespace

void Tfrmgiris::BitBtn6Click() {
    runSessionWork(nullptr, true, [this] { setDeviceClock(session_, prompt_); });
}

void Tfrmgiris::BitBtn7Click() {
    runSessionWork(nullptr, true, [this] { readDeviceClock(session_, prompt_); });
}

void Tfrmgiris::BitBtn8Click() {
    runSessionWork(nullptr, true, [this] {
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
    runSessionWork(nullptr, false, [this] { wipeAllEnrollments(session_, prompt_); });
}
