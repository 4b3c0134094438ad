// selvanor-screenshots OUTPUT_FOLDER: every SelvanoR window, with a few sample terminals, for
// the user guide.

#include "console_prompt.h"
#include "shoot.h"
#include "tenrollform.h"
#include "terminal_registry.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"
#include "tfrmyeni.h"
#include "tfrmzil.h"

#include <QTabWidget>
#include <QTemporaryDir>

namespace {

TerminalRecord sampleTerminal(const char* name, const char* tip, const char* ip) {
    TerminalRecord t;
    t.terminalNo = QStringLiteral("1");
    t.name = QString::fromUtf8(name);
    t.tip = QLatin1String(tip);
    t.comPort = QStringLiteral("1");
    t.comBaud = QStringLiteral("9600");
    t.ip = QLatin1String(ip);
    t.netPort = QStringLiteral("5005");
    t.password = QStringLiteral("0");
    return t;
}

bool selvanorWindows(const QString& folder, const QString& out) {
    QString error;
    if (!QDir().mkpath(folder) || !TerminalRegistry::createStore(folder, &error)) {
        QTextStream(stderr) << error << '\n';
        return false;
    }
    {
        TerminalRegistry registry(folder + QStringLiteral("Data.db"));
        registry.insert(sampleTerminal("Giriş Kapısı", "ethernet", "192.168.0.100"));
        registry.insert(sampleTerminal("Üretim Çıkış", "ethernet", "192.168.0.101"));
        registry.insert(sampleTerminal("Yemekhane", "com", "192.168.0.102"));
    }
    ConsolePrompt prompt;
    TfrmDM dm(folder);
    Tfrmgiris main(dm, prompt, folder);
    main.FormCreate();
    Tfrmyeni editor(main);
    TEnrollForm enrollForm(main);
    Tfrmzil bellForm(main);
    main.setWindows(&editor, &enrollForm, &bellForm);

    bool ok = shoot(main, out + QStringLiteral("/selvanor-standart.png"));
    main.PageControl1->setCurrentIndex(1);
    ok = shoot(main, out + QStringLiteral("/selvanor-toplu.png")) && ok;
    main.PageControl1->setCurrentIndex(0);
    editor.prepareNew();
    editor.FormShow();
    ok = shoot(editor, out + QStringLiteral("/selvanor-terminal-ekle.png")) && ok;
    editor.hide();
    ok = shoot(bellForm, out + QStringLiteral("/selvanor-zil-saatleri.png")) && ok;
    bellForm.hide();
    enrollForm.PageControl1->setCurrentIndex(0);
    ok = shoot(enrollForm, out + QStringLiteral("/selvanor-kayit-tum-data.png")) && ok;
    enrollForm.PageControl1->setCurrentIndex(1);
    ok = shoot(enrollForm, out + QStringLiteral("/selvanor-kayit-tek-data.png")) && ok;
    enrollForm.hide();
    main.hide();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = outputFolder(app.arguments());
    QTemporaryDir work;
    if (out.isEmpty() || !work.isValid())
        return 2;
    return selvanorWindows(work.path() + QStringLiteral("/"), out) ? 0 : 1;
}
