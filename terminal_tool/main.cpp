// selvanor: without a command the window opens; with one the command runs without a screen.

#include "app_folder.h"
#include "cli/commands.h"
#include "tenrollform.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"
#include "tfrmyeni.h"
#include "tfrmzil.h"
#include "widget_prompt.h"

#include <QApplication>
#include <QMap>
#include <cstdio>
#include <functional>

namespace {

using Command = std::function<int(const QString&, const QStringList&)>;

const QMap<QString, Command>& commands() {
    static const QMap<QString, Command> table = {
        {QStringLiteral("init"), runInit},       {QStringLiteral("collect"), runCollect},
        {QStringLiteral("convert"), runConvert}, {QStringLiteral("clock"), runClock},
        {QStringLiteral("bells"), runBells},     {QStringLiteral("backup"), runBackup},
        {QStringLiteral("restore"), runRestore},
    };
    return table;
}

int runWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = resolveProgramFolder(app.arguments());
    TfrmDM dm(folder);
    Tfrmgiris main(dm, *new WidgetPrompt(nullptr, Tfrmgiris::title()), folder);
    main.FormCreate();
    Tfrmyeni editor(main);
    TEnrollForm enrollForm(main);
    Tfrmzil bellForm(main);
    main.setWindows(&editor, &enrollForm, &bellForm);
    main.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QStringList rest = withoutFolderOption(args);
    if (!rest.isEmpty() && commands().contains(rest.first())) {
        QCoreApplication app(argc, argv);
        const QString folder = resolveProgramFolder(args);
        return commands().value(rest.first())(folder, rest.mid(1));
    }
    return runWindow(argc, argv);
}
