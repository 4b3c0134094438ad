// "Cihaza Yükle" (BitBtn1) and "Cihazdan Sil" (BitBtn2) of cardpush's main window: the window's
// choices are read here, the run itself is credential_run.h's.

#include "tfrmgiris.h"
#include "widget_prompt.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>

namespace cardpush {

namespace {

// Which terminal and which person a run is at, in the status bar, a few times a second.
class StatusProgress : public Progress {
public:
    StatusProgress(QStatusBar* bar, qint64 personsPerTerminal)
        : bar_(bar), perTerminal_(std::max<qint64>(1, personsPerTerminal)) {
        shown_.start();
    }

    void step(qint64 done, qint64 total) override {
        if (done < total && shown_.elapsed() < 100)
            return;
        shown_.restart();
        const qint64 at = std::max<qint64>(0, done - 1);
        QString text =
            QStringLiteral("Terminal %1/%2").arg(at / perTerminal_ + 1).arg(total / perTerminal_);
        if (perTerminal_ > 1)
            text += QStringLiteral("  Personel %1/%2")
                        .arg(done == 0 ? 0 : at % perTerminal_ + 1)
                        .arg(perTerminal_);
        QMetaObject::invokeMethod(
            bar_, [bar = bar_, text] { bar->showMessage(text); }, Qt::QueuedConnection);
    }

private:
    QPointer<QStatusBar> bar_;
    qint64 perTerminal_;
    QElapsedTimer shown_;
};

} // namespace

void Tfrmgiris::BitBtn1Click() {
    runCredentials(true);
}

void Tfrmgiris::BitBtn2Click() {
    runCredentials(false);
}

void Tfrmgiris::runCredentials(bool upload) {
    // Choices saved since the list was loaded count for an upload; a removal works on the
    // terminals as shown.
    if (upload)
        LoadChosenTerminals();
    if (!enrollData_)
        enrollData_.emplace(355, 0);

    auto request = std::make_shared<CredentialRequest>();
    request->scope = RadioButton2->isChecked() ? PersonScope::Listed : PersonScope::SelectedPerson;
    request->kind = RadioButton10->isChecked() ? CredentialKind::Password : CredentialKind::Card;
    request->terminals = chosenTerminals(dm_.qrycihaz);
    request->persons = credentialPersons(dm_.qryper, request->scope, DBGrid2->currentIndex().row());

    auto memo = std::make_shared<MemoSink>(Memo5);
    auto progress = std::make_shared<StatusProgress>(
        statusBar(), request->scope == PersonScope::Listed ? request->persons.size() : 1);
    auto devices = std::make_shared<CredentialDevices>(
        CredentialDevices{SBXPC1, sdkConnection_, *enrollData_});
    // Both runs talk through the one terminal control: the other button waits too.
    QPushButton* other = upload ? BitBtn2 : BitBtn1;
    other->setEnabled(false);
    Prompt& prompt = prompt_;
    runInBackground(
        this, upload ? BitBtn1 : BitBtn2, true, prompt_,
        [request, devices, memo, progress, upload, &prompt] {
            if (upload)
                uploadCredentials(*request, *devices, prompt, *memo, *progress);
            else
                removeCredentials(*request, *devices, prompt, *memo, *progress);
        },
        [this, other, request, memo] {
            other->setEnabled(true);
            statusBar()->clearMessage();
            // The listed run walks the grid down to its last row.
            if (request->scope == PersonScope::Listed && !request->persons.isEmpty())
                DBGrid2->selectRow(dm_.qryper.rowCount() - 1);
        });
}

} // namespace cardpush
