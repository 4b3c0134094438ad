#include "tfrmgiris.h"

#include "collection.h"
#include "download.h"
#include "widget_prompt.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// The boxes as they are now, saved or not.
Options optionsOf(const Tfrmgiris& window) {
    Options options;
    options.veriDosya2 = window.CheckBox1->isChecked();
    options.veriSil = window.CheckBox2->isChecked();
    options.dorvak = window.CheckBox3->isChecked();
    return options;
}

// Lives on the window thread until the work is over, so the bar's queued updates stay valid.
BarProgress* newProgress(QProgressBar* bar) {
    auto* progress = new BarProgress(bar);
    progress->setParent(bar);
    return progress;
}

} // namespace

void Tfrmgiris::BitBtn5Click() {
    auto download =
        std::make_shared<AttendanceDownload>(session_, programFolder_, optionsOf(*this));
    BarProgress* progress = newProgress(ProgressBar1);
    runInBackground(
        this, BitBtn5, true, prompt_,
        [this, download, progress] { download->run(prompt_, *memo4Sink, *progress); },
        [progress] { progress->deleteLater(); });
}

void Tfrmgiris::BitBtn11Click() {
    auto run = std::make_shared<CollectionRun>(programFolder_, optionsOf(*this));
    BarProgress* progress = newProgress(ProgressBar1);
    auto rowStarted = [this](int index, int total, const TerminalRecord& row) {
        const QString text = QStringLiteral("%1/%2: %3").arg(index + 1).arg(total).arg(row.name);
        runOnUiThread([this, index, text] {
            selectTerminalRow(index);
            statusLabel->setText(text);
        });
    };
    runInBackground(
        this, BitBtn11, true, prompt_,
        [this, run, progress, rowStarted] {
            run->run(session_, runFlag, *memo3Sink, *memo4Sink, *progress, rowStarted);
        },
        [this, progress] {
            progress->deleteLater();
            statusLabel->clear();
        });
}

void Tfrmgiris::BitBtn13Click() {
    runFlag = false;
}
