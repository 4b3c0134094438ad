#include "tfrmgiris.h"

#include "conversion.h"
#include "widget_prompt.h"

#include <QLineEdit>
#include <QPushButton>

void Tfrmgiris::Button3Click() {
    const QString path = chooseExportFile(prompt_, programFolder_);
    if (path.isEmpty())
        return;
    Edit1->setText(path);
    applyConversionTextFormats(processTextFormats());

    // The worker gets copies: the window's controls and formats stay on this thread.
    const TextFormats formats = processTextFormats();
    const QString file = Edit1->text().trimmed();
    const QString folder = programFolder_;
    auto* progress = new BarProgress(ProgressBar1);
    progress->setParent(this);
    runInBackground(
        this, Button3, false, prompt_,
        [this, folder, file, formats, progress] {
            convertExportFile(folder, file, formats, prompt_, *memo4Sink, *progress);
        },
        [progress] { progress->deleteLater(); });
}
