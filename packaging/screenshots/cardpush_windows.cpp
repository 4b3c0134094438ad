// cardpush-screenshots OUTPUT_FOLDER: cardpush's windows for the user guide. Without a PDKS
// server the lists stay empty; the window says so on standard output.

#include "console_prompt.h"
#include "shoot.h"
#include "tfrmdmmysql.h"
#include "tfrmgiris.h"
#include "tfrmterminaltanimlama.h"

#include <QTemporaryDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = outputFolder(app.arguments());
    QTemporaryDir folder; // no Settings.ini: the window's defaults
    if (out.isEmpty() || !folder.isValid())
        return 2;
    ConsolePrompt prompt;
    TfrmDMMYSQL dm;
    cardpush::Tfrmgiris main(dm, folder.path() + QStringLiteral("/"), &prompt);
    bool ok = shoot(main, out + QStringLiteral("/cardpush-ana-pencere.png"));
    cardpush::TfrmTerminalTanimlama definitions(dm, prompt);
    ok = shoot(definitions, out + QStringLiteral("/cardpush-terminal-tanimlama.png")) && ok;
    return ok ? 0 : 1;
}
