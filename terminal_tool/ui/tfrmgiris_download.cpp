#include "tfrmgiris.h"

#include "collection.h"
#include "download.h"
#include "widget_prompt.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// Lives on the window thread until the work is over, so the bar's queued updates stay valid.
BarProgress* newProgress(QProgressBar* bar) {
    auto* progress = new BarProgress(bar);
    progress->setParent(bar);
    return progress;
}

} // namespace

void Tfrmgiris::BitBtn5Click() {
    auto download =
        std::make_shared<AttendanceDownload>(session_, programFolder_, currentOptions());
    BarProgress* progress = newProgress(ProgressBar1);
    runSessionWork(
        BitBtn5, true,
        [this, download, progress] { download->run(prompt_, *memo4Sink, *progress); },
        [progress] { progress->deleteLater(); });
}

void Tfrmgiris::BitBtn11Click() {
    auto run = std::make_shared<CollectionRun>(programFolder_, currentOptions());
    BarProgress* progress = newProgress(ProgressBar1);
    auto rowStarted = [this](int index, int total, const TerminalRecord& row) {
        const QString text = QStringLiteral("%1/%2: %3").arg(index + 1).arg(total).arg(row.name);
        runOnUiThread([this, index, text] {
            selectTerminalRow(index);
            statusLabel->setText(text);
        });
    };
    // The run owns the session: the link button waits for it as for any device work.
    runSessionWork(
        BitBtn11, true,
        [this, run, progress, rowStarted] {
            run->run(session_, runFlag, *memo3Sink, *memo4Sink, *progress, rowStarted);
        },
        [progress] { progress->deleteLater(); });
}

void Tfrmgiris::BitBtn13Click() {
    runFlag = false;
}
