// selvanor import: moving from the old Windows tool, whose terminal list is an Access file.

#include "import_commands.h"

#include "commands.h"
#include "console_prompt.h"
#include "csv_export.h"
#include "ini_file.h"
#include "options.h"
#include "terminal_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

// Whole numbers compare by value ("01" is 1), everything else as trimmed text.
bool sameValue(const QString& a, const QString& b) {
    bool aNumber = false;
    bool bNumber = false;
    const qlonglong x = a.trimmed().toLongLong(&aNumber);
    const qlonglong y = b.trimmed().toLongLong(&bNumber);
    if (aNumber && bNumber)
        return x == y;
    return a.trimmed() == b.trimmed();
}

bool sameTerminal(const TerminalRecord& a, const TerminalRecord& b) {
    return sameValue(a.terminalNo, b.terminalNo) && sameValue(a.name, b.name) &&
           sameValue(a.tip, b.tip) && sameValue(a.comPort, b.comPort) &&
           sameValue(a.comBaud, b.comBaud) && sameValue(a.ip, b.ip) &&
           sameValue(a.netPort, b.netPort) && sameValue(a.password, b.password);
}

QString describe(const TerminalRecord& t) {
    return QStringLiteral("%1 (%2 %3:%4, no %5)")
        .arg(t.name.trimmed(), t.tip, t.ip, t.netPort, t.terminalNo);
}

// The settings the old program kept in Settings.ini.
struct SettingsKey {
    const char* section;
    const char* key;
};
const SettingsKey kOldSettings[] = {
    {"Options", "veriDosya2"}, {"Options", "veriSil"}, {"Options", "dorvak"}, {"Login", "Server"},
    {"Login", "Database"},     {"MySql", "User"},      {"MySql", "Password"}, {"MySql", "Port"},
};

int usage() {
    std::fputs("usage: selvanor import [--folder DIR] OLD_FOLDER\n", stderr);
    return 2;
}

} // namespace

AccessTable parseAccessExport(const QByteArray& csv) {
    if (csv.trimmed().isEmpty())
        fail(QStringLiteral("mdb-export boş çıktı verdi (tablo başlığı yok)."));
    const Sheet sheet = parseCsvExport(csv);
    AccessTable table;
    for (int c = 0; c < sheet.columns(); ++c)
        table.columns << sheet.cell(0, c).value;
    for (int r = 1; r < sheet.rows(); ++r) {
        QStringList row;
        for (int c = 0; c < sheet.columns(); ++c)
            row << sheet.cell(r, c).value;
        table.rows << row;
    }
    return table;
}

AccessTable readAccessTable(const QString& mdbPath, const QString& table,
                            const QString& mdbExport) {
    if (!QFileInfo(mdbPath).isFile())
        fail(QStringLiteral("%1 bulunamadı.").arg(mdbPath));
    QProcess process;
    // Jet 3 files hold single-byte text; the old program's was Windows Turkish.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MDB_JET3_CHARSET"), QStringLiteral("CP1254"));
    process.setProcessEnvironment(env);
    process.start(mdbExport,
                  {QStringLiteral("--date-format=%Y-%m-%d %H:%M:%S"),
                   QStringLiteral("--datetime-format=%Y-%m-%d %H:%M:%S"), mdbPath, table});
    if (!process.waitForStarted())
        fail(QStringLiteral("%1 çalıştırılamadı (mdbtools paketi kurulu mu?): %2")
                 .arg(mdbExport, process.errorString()));
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        fail(QStringLiteral("%1: %2 okunamadı (zaman aşımı).").arg(mdbPath, table));
    }
    const QByteArray out = process.readAllStandardOutput();
    const QString err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("%1: %2 tablosu okunamadı: %3")
                 .arg(mdbPath, table, err.isEmpty() ? process.errorString() : err));
    return parseAccessExport(out);
}

QList<TerminalRecord> terminalsFromTable(const AccessTable& table) {
    const auto column = [&](const char* name) {
        for (int c = 0; c < table.columns.size(); ++c)
            if (table.columns[c].trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return c;
        return -1;
    };
    if (column("Terminal") < 0)
        fail(QStringLiteral("Terminal tablosunda 'Terminal' sütunu yok; sütunlar: %1")
                 .arg(table.columns.join(QStringLiteral(", "))));
    const int terminalNo = column("TerminalNo");
    const int name = column("Terminal");
    const int tip = column("Tip");
    const int comPort = column("ComPort");
    const int comBaud = column("ComBaud");
    const int ip = column("Ip");
    const int netPort = column("NetPort");
    const int sifre = column("Sifre");
    QList<TerminalRecord> rows;
    for (const QStringList& values : table.rows) {
        const auto at = [&](int c) { return c < 0 ? QString() : values.value(c).trimmed(); };
        TerminalRecord t;
        t.terminalNo = at(terminalNo);
        t.name = at(name);
        t.tip = at(tip);
        t.comPort = at(comPort);
        t.comBaud = at(comBaud);
        t.ip = at(ip);
        t.netPort = at(netPort);
        t.password = at(sifre);
        rows << t;
    }
    return rows;
}

ImportCounts importTerminals(TerminalRegistry& registry, const QList<TerminalRecord>& rows,
                             LineSink& out) {
    ImportCounts counts;
    QList<TerminalRecord> known = registry.list();
    for (const TerminalRecord& row : rows) {
        const bool duplicate = std::any_of(known.begin(), known.end(),
                                           [&](const auto& k) { return sameTerminal(k, row); });
        if (duplicate) {
            ++counts.skipped;
            out.addLine(QStringLiteral("zaten var, atlandı: %1").arg(describe(row)));
            continue;
        }
        try {
            const QString id = registry.insert(row);
            known << row;
            ++counts.imported;
            out.addLine(QStringLiteral("eklendi: ID=%1 %2").arg(id, describe(row)));
        } catch (const std::exception& e) {
            ++counts.failed;
            out.addLine(QStringLiteral("eklenemedi: %1: %2")
                            .arg(describe(row), QString::fromUtf8(e.what())));
        }
    }
    return counts;
}

QStringList copyOldSettings(const QString& oldIni, const QString& newIni) {
    IniFile from(oldIni);
    QString error;
    if (!from.load(&error))
        fail(error);
    IniFile to(newIni);
    if (!to.load(&error))
        fail(error);
    QStringList copied;
    for (const SettingsKey& k : kOldSettings) {
        const QString section = QLatin1String(k.section);
        const QString key = QLatin1String(k.key);
        if (!from.contains(section, key))
            continue;
        to.setValue(section, key, from.value(section, key));
        copied << section + QLatin1Char('/') + key;
    }
    if (!copied.isEmpty() && !to.save(&error))
        fail(error);
    return copied;
}

int runImport(const QString& folder, const QStringList& args) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("-")))
        return usage();
    const QDir old(args.first());
    ConsolePrompt prompt;
    StdoutSink out;
    try {
        const QList<TerminalRecord> rows = terminalsFromTable(
            readAccessTable(old.filePath(QStringLiteral("Data.mdb")), QStringLiteral("Terminal")));
        QString error;
        if (!TerminalRegistry::createStore(folder, &error))
            fail(error);
        TerminalRegistry registry(folder + QStringLiteral("Data.db"));
        const ImportCounts counts = importTerminals(registry, rows, out);
        prompt.message(QStringLiteral("%1 terminal eklendi, %2 zaten vardı, %3 eklenemedi.")
                           .arg(counts.imported)
                           .arg(counts.skipped)
                           .arg(counts.failed));
        const QString oldIni = old.filePath(QStringLiteral("Settings.ini"));
        if (QFileInfo::exists(oldIni)) {
            const QStringList copied = copyOldSettings(oldIni, settingsFilePath(folder));
            prompt.message(copied.isEmpty() ? QStringLiteral("Settings.ini: aktarılacak ayar yok.")
                                            : QStringLiteral("Settings.ini ayarları aktarıldı: %1")
                                                  .arg(copied.join(QStringLiteral(", "))));
        }
        return counts.failed > 0 ? 1 : 0;
    } catch (const std::exception& e) {
        prompt.error(QString::fromUtf8(e.what()));
        return 1;
    }
}
