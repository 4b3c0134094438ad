// The personnel list over 50,000 people: LoadPersonnel against the mariadb client running the
// same statement in the same run, and the time from a keystroke in the search box until the
// count is shown. Starts (and stops) its own server unless SELVANO_PDKS_SERVER_DIR names one.

#include "pdks_test_db.h"
#include "scripted_prompt.h"
#include "tfrmdmmysql.h"
#include "tfrmgiris.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 15;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool runScript(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start("bash",
            QStringList{QStringLiteral(SELVANO_SOURCE_DIR "/scripts/mariadb-test-server.sh")} +
                arguments);
    return p.waitForFinished(300000) && p.exitCode() == 0;
}

// Milliseconds per statement for the mariadb client: kRuns copies in one client run, so its
// start-up is shared out; every row is read and printed to a pipe.
double clientMs(const PdksTestDb& db, const QString& statement) {
    QString input;
    for (int i = 0; i < kRuns; ++i)
        input += statement + ";\n";
    QElapsedTimer timer;
    timer.start();
    db.client(input);
    return double(timer.nsecsElapsed()) / 1e6 / kRuns;
}

struct Case {
    const char* name;
    PersonnelFilter filter;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir serverDir;
    const bool ownServer = qEnvironmentVariableIsEmpty("SELVANO_PDKS_SERVER_DIR");
    if (ownServer) {
        qputenv("SELVANO_PDKS_SERVER_DIR", serverDir.path().toUtf8());
        if (!runScript({"start", serverDir.path(), "--people", "50000"}))
            return 1;
    }
    QString error;
    const PdksTestDb db = PdksTestDb::fromFixture(&error);
    if (!db.isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir folder;
    db.writeSettingsIni(folder.path());
    std::printf("people: %s", db.client("select count(*) from personel").constData());

    std::vector<Case> cases;
    {
        PersonnelFilter f;
        f.searchText = QStringLiteral("ah");
        cases.push_back({"active, name contains \"ah\"", f});
        f.searchText = QStringLiteral("Işı");
        cases.push_back({"active, name contains \"Işı\"", f});
        f.status = PersonnelStatus::All;
        f.searchColumn = SearchColumn::Kartno;
        f.searchText = QStringLiteral("12");
        cases.push_back({"everyone, kartno contains \"12\"", f});
        f.searchText.clear();
        cases.push_back({"everyone, no search", f});
    }

    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    if (!ConnectDatabase(dm, folder.filePath("Settings.ini"), prompt) ||
        !prompt.entries().isEmpty())
        return 1;
    std::printf("| statement | rows | LoadPersonnel ms | mariadb client ms | ratio |\n"
                "|---|---|---|---|---|\n");
    for (const Case& c : cases) {
        std::vector<double> times;
        int rows = 0;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer timer;
            timer.start();
            rows = LoadPersonnel(dm, c.filter, prompt).value_or(-1);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        const double ours = median(times);
        const double client = clientMs(db, PersonnelQuery(c.filter));
        std::printf("| %s | %d | %.1f | %.1f | %.2f |\n", c.name, rows, ours, client,
                    ours / client);
    }

    // Typing "ayşe" into the search box of the window, one key at a time.
    cardpush::Tfrmgiris window(dm, folder.path() + "/", &prompt);
    window.show();
    QCoreApplication::processEvents();
    std::vector<double> keys;
    for (int round = 0; round < 3; ++round) {
        window.Edit1->clear();
        for (const QChar ch : QStringLiteral("ayşe")) {
            QElapsedTimer timer;
            timer.start();
            QTest::sendKeyEvent(QTest::Click, window.Edit1, Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
            window.repaint();
            keys.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::printf("\nkeystroke to count shown (\"ayşe\" typed, %zu keys): median %.1f ms, "
                "slowest %.1f ms; last count %s\n",
                keys.size(), median(keys), *std::max_element(keys.begin(), keys.end()),
                qPrintable(window.kayitsayisi->text()));
    if (!prompt.entries().isEmpty())
        std::printf("messages: %s\n", qPrintable(prompt.texts().join(" | ")));
    if (ownServer)
        runScript({"stop", serverDir.path()});
    return prompt.entries().isEmpty() ? 0 : 1;
}
