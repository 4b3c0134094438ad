// The window's download and collection buttons, driven as a user would.

#include "collection_fixture.h"
#include "scripted_prompt.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace fixture;

class TestDownloadWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void verileriAktar() {
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith(
            {record("123", "2011-03-05 08:30:05"), record("124", "2011-03-05 08:31:00")})));
        Store store;
        const TerminalRecord row = store.ethernet("A", "127.0.0.1", terminal.port());
        TfrmDM dm(store.folder());
        ScriptedPrompt prompt;
        Tfrmgiris window(dm, prompt, store.folder());
        QVERIFY(window.session().OpenSession(row));
        window.setDeviceButtonsEnabled(true); // as "BAGLAN" leaves them
        window.CheckBox3->setChecked(true); // ticked, not saved: already in force
        window.CheckBox2->setChecked(true);
        window.BitBtn5Click();
        QVERIFY(!window.BitBtn5->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window.BitBtn5->isEnabled(), 30000);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(prompt.texts(), QStringList{"cihazdan veriler alındı"});
        const QStringList lines{"001,0000000123,0,2011-03-05 08:30:05",
                                "001,0000000124,0,2011-03-05 08:31:00"};
        QTRY_COMPARE(window.Memo4->toPlainText(), lines.join('\n'));
        QCOMPARE(fileLines(store.path("veri.txt")), lines);
        QCOMPARE(recordsLeft(terminal), 0);
    }

    void baglanipVerileriAktar() {
        EmulatorProcess terminal;
        QVERIFY(terminal.start(stateWith({record("123", "2011-03-05 08:30:05")})));
        Store store;
        store.ethernet("A", "127.0.0.2", 1);
        store.ethernet("B", "127.0.0.1", terminal.port());
        TfrmDM dm(store.folder());
        ScriptedPrompt prompt;
        Tfrmgiris window(dm, prompt, store.folder());
        window.FormCreate();
        window.BitBtn11Click();
        QVERIFY(!window.BitBtn11->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window.BitBtn11->isEnabled(), 30000);
        QVERIFY(prompt.texts().isEmpty()); // no message boxes in a bulk run
        QTRY_COMPARE(window.Memo3->toPlainText(),
                     QStringLiteral("127.0.0.2 Bağlantı Kurulamadı..."));
        QCOMPARE(fileLines(store.path("veri.txt")),
                 QStringList{"00123 05.03.2011 08:30:05 01 00  127.0.0.1"});
        // The grid followed the run to its last row; the status tells which of how many.
        QCOMPARE(window.DBGrid1->currentIndex().row(), 1);
        QCOMPARE(window.statusLabel->text(), QStringLiteral("2/2: B"));
        QVERIFY(window.BitBtn4->isEnabled());
    }
};

QTEST_MAIN(TestDownloadWindow)
#include "test_download_window.moc"
