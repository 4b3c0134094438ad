// cardpush: without a command the window opens; with one the command runs without a screen.

#include "app_folder.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "tfrmdmmysql.h"
#include "tfrmgiris.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QStringList command = withoutFolderOption(arguments);
    if (const std::optional<int> status = answerHelpRequest(cardpushHelp(), command))
        return *status;
    if (!command.isEmpty()) {
        QCoreApplication app(argc, argv);
        return runCommand(command, resolveProgramFolder(arguments));
    }
    QApplication app(argc, argv);
    TfrmDMMYSQL dm;
    cardpush::Tfrmgiris window(dm, resolveProgramFolder(arguments));
    window.show();
    return app.exec();
}
