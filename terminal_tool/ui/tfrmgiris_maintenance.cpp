// Clock, administrator cancel, fingerprint wipe and the openers of the bell and enrollment
// windows.
#include "tfrmgiris.h"

#include "admin_cancel.h"
#include "clock.h"
#include "tenrollform.h"
#include "terminal_registry.h"
#include "tfrmzil.h"
#include "widget_prompt.h"
#include "wipe.h"

#include <QAction>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace {

// The terminal link serves one thread at a time: while a maintenance command runs on its
// worker, the connect button, the other device buttons and the wipe entry wait for it.
void runDeviceCommand(Tfrmgiris& form, bool hourglass, std::function<void()> work) {
    QList<QPair<QWidget*, bool>> buttons;
    for (QPushButton* b : {form.BitBtn4, form.BitBtn5, form.BitBtn6, form.BitBtn7, form.BitBtn8,
                           form.BitBtn9, form.BitBtn10}) {
        buttons.append({b, b->isEnabled()});
        b->setEnabled(false);
    }
    QAction* wipe = form.erminaldeTanmlTmParmakizleriniSil1;
    const bool wipeEnabled = wipe->isEnabled();
    wipe->setEnabled(false);
    runInBackground(&form, nullptr, hourglass, form.prompt(), std::move(work),
                    [buttons, wipe, wipeEnabled] {
                        for (const auto& [button, enabled] : buttons)
                            button->setEnabled(enabled);
                        wipe->setEnabled(wipeEnabled);
                    });
}

// Modal secondary windows stand in for the main window while they are open.
void showInstead(Tfrmgiris& form, QDialog& window) {
    form.hide();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
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
