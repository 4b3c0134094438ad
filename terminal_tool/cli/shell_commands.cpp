// selvanor init: a new local store; selvanor terminal: the terminal list without the window.

#include "commands.h"

#include "console_prompt.h"
#include "terminal_registry.h"

#include <QMap>
#include <cstdio>

namespace {

const QString kDataDb = QStringLiteral("Data.db");

int terminalUsage() {
    std::fputs("usage: selvanor terminal [--folder DIR] add --name N --type ethernet|com|usb\n"
               "           [--ip A] [--port P] [--number N] [--password P] [--com-port X]\n"
               "           [--baud B]\n"
               "       selvanor terminal [--folder DIR] list\n",
               stderr);
    return 2;
}

// "--key value" pairs; false on anything else or a key given twice.
bool parseOptions(const QStringList& args, const QStringList& known, QMap<QString, QString>* out) {
    for (int i = 0; i < args.size(); i += 2) {
        const QString key = args[i];
        if (!known.contains(key) || i + 1 >= args.size() || out->contains(key))
            return false;
        out->insert(key, args[i + 1]);
    }
    return true;
}

int addTerminal(const QString& folder, const QStringList& args, ConsolePrompt& prompt) {
    QMap<QString, QString> o;
    const QStringList known = {QStringLiteral("--name"),     QStringLiteral("--type"),
                               QStringLiteral("--ip"),       QStringLiteral("--port"),
                               QStringLiteral("--number"),   QStringLiteral("--password"),
                               QStringLiteral("--com-port"), QStringLiteral("--baud")};
    if (!parseOptions(args, known, &o) || o.value(QStringLiteral("--name")).trimmed().isEmpty())
        return terminalUsage();
    const QString type = o.value(QStringLiteral("--type"));
    if (type != QLatin1String("ethernet") && type != QLatin1String("com") &&
        type != QLatin1String("usb"))
        return terminalUsage();
    // The editor's defaults for what is not given.
    TerminalRecord row;
    row.name = o.value(QStringLiteral("--name"));
    row.tip = type;
    row.terminalNo = o.value(QStringLiteral("--number"), QStringLiteral("1"));
    row.comPort = o.value(QStringLiteral("--com-port"), QStringLiteral("1"));
    row.comBaud = o.value(QStringLiteral("--baud"), QStringLiteral("9600"));
    row.ip = o.value(QStringLiteral("--ip"), QStringLiteral("192.168.0.100"));
    row.netPort = o.value(QStringLiteral("--port"), QStringLiteral("5005"));
    row.password = o.value(QStringLiteral("--password"), QStringLiteral("0"));
    try {
        TerminalRegistry registry(folder + kDataDb);
        const QString id = registry.insert(row);
        prompt.message(QStringLiteral("Terminal eklendi: ID=%1 %2").arg(id, row.name.trimmed()));
        return 0;
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 1;
    }
}

int listTerminals(const QString& folder, ConsolePrompt& prompt) {
    try {
        const TerminalRegistry registry(folder + kDataDb);
        for (const TerminalRecord& t : registry.list())
            prompt.message(QStringList{t.id, t.name, t.tip, t.ip, t.netPort, t.terminalNo}.join(
                QLatin1Char('\t')));
        return 0;
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 1;
    }
}

} // namespace

int runInit(const QString& folder, const QStringList& args) {
    ConsolePrompt prompt;
    if (!args.isEmpty()) {
        std::fputs("usage: selvanor init [--folder DIR]\n", stderr);
        return 2;
    }
    QString error;
    QStringList created;
    if (!TerminalRegistry::createStore(folder, &error, &created)) {
        prompt.error(error);
        return 1;
    }
    for (const QString& name : {kDataDb, QStringLiteral("Log.db")}) {
        const QString path = folder + name;
        prompt.message(created.contains(path)
                           ? QStringLiteral("oluşturuldu: %1").arg(path)
                           : QStringLiteral("zaten var, değiştirilmedi: %1").arg(path));
    }
    return 0;
}

int runTerminal(const QString& folder, const QStringList& args) {
    ConsolePrompt prompt;
    if (args.value(0) == QLatin1String("add"))
        return addTerminal(folder, args.mid(1), prompt);
    if (args.value(0) == QLatin1String("list") && args.size() == 1)
        return listTerminals(folder, prompt);
    return terminalUsage();
}
