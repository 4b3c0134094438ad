// selvanor: without a command the window opens; with one the command runs without a screen.

#include "app_folder.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "tenrollform.h"
#include "terminal_registry.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"
#include "tfrmyeni.h"
#include "tfrmzil.h"
#include "widget_prompt.h"

#include <QApplication>
#include <QMap>
#include <functional>

namespace {

using Command = std::function<int(const QString&, const QStringList&)>;

const QMap<QString, Command>& commands() {
    static const QMap<QString, Command> table = {
        {QStringLiteral("init"), runInit},       {QStringLiteral("terminal"), runTerminal},
        {QStringLiteral("collect"), runCollect}, {QStringLiteral("convert"), runConvert},
        {QStringLiteral("clock"), runClock},     {QStringLiteral("bells"), runBells},
        {QStringLiteral("backup"), runBackup},   {QStringLiteral("restore"), runRestore},
        {QStringLiteral("import"), runImport},
    };
    return table;
}

// An error that a handler does not catch ends that handler and is shown with its own text;
// the program goes on.
class SelvanorApplication : public QApplication {
public:
    using QApplication::QApplication;
    Prompt* prompt = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        if (!prompt)
            return QApplication::notify(receiver, event);
        bool handled = false;
        runGuarded(*prompt, [&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }
};

int runWindow(int argc, char** argv) {
    SelvanorApplication app(argc, argv);
    WidgetPrompt prompt(nullptr, Tfrmgiris::title());
    app.prompt = &prompt;
    const QString folder = resolveProgramFolder(app.arguments());
    // An installed program starts in a folder of its own that nobody has prepared: it gets the
    // empty terminal list that "selvanor init" makes (if that fails, start-up reports the
    // missing Data.db as usual). A portable copy is left as it is.
    QString storeError;
    if (isUserDataFolder(folder))
        TerminalRegistry::createStore(folder, &storeError);
    TfrmDM dm(folder);
    Tfrmgiris main(dm, prompt, folder);
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
    if (const std::optional<int> status = answerHelpRequest(selvanorHelp(), rest))
        return *status;
    if (!rest.isEmpty() && commands().contains(rest.first())) {
        QCoreApplication app(argc, argv);
        const QString folder = resolveProgramFolder(args);
        return commands().value(rest.first())(folder, rest.mid(1));
    }
    return runWindow(argc, argv);
}
