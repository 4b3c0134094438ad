// The main window's start-up, options and list buttons, the terminal editor and the connect
// button, driven through their handlers with a scripted prompt.

#include "emulator_process.h"
#include "scripted_prompt.h"
#include "terminal_registry.h"
#include "test_files.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"
#include "tfrmyeni.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using Kind = ScriptedPrompt::Kind;

TerminalRecord terminal(const QString& name, const QString& tip = QStringLiteral("ethernet")) {
    TerminalRecord t;
    t.name = name;
    t.terminalNo = QStringLiteral("7");
    t.tip = tip;
    t.comPort = QStringLiteral("3");
    t.comBaud = QStringLiteral("19200");
    t.ip = QStringLiteral("10.1.1.9");
    t.netPort = QStringLiteral("4370");
    t.password = QStringLiteral("1234");
    return t;
}

// One program folder with the window, its data module and the editor, as main() makes them.
struct Shell {
    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    ScriptedPrompt prompt{Tfrmgiris::title()};
    std::unique_ptr<TfrmDM> dm;
    std::unique_ptr<Tfrmgiris> main;
    Tfrmyeni* editor = nullptr;
    int editorShown = 0;

    void createStore() {
        QString error;
        QVERIFY2(TerminalRegistry::createStore(folder, &error), qPrintable(error));
    }
    void seed(const QList<TerminalRecord>& rows) {
        TerminalRegistry registry(folder + QStringLiteral("Data.db"));
        for (const TerminalRecord& row : rows)
            registry.insert(row);
    }
    void start() {
        dm = std::make_unique<TfrmDM>(folder);
        main = std::make_unique<Tfrmgiris>(*dm, prompt, folder);
        main->FormCreate();
        editor = new Tfrmyeni(*main);
        main->setWindows(editor, nullptr, nullptr);
        editor->modalHook = [this](Tfrmyeni&) { ++editorShown; };
    }
    // Opens the editor with the button and runs act while it is shown.
    void withEditor(QPushButton* button, const std::function<void(Tfrmyeni&)>& act) {
        editor->modalHook = [this, act](Tfrmyeni& e) {
            ++editorShown;
            act(e);
        };
        button->click();
        editor->modalHook = [this](Tfrmyeni&) { ++editorShown; };
    }
    QStringList names() const {
        QStringList result;
        for (int row = 0; row < dm->qrycihaz->rowCount(); ++row)
            result << terminalFromRecord(dm->qrycihaz->record(row)).name;
        return result;
    }
    QString current() const { return main->selectedTerminal().name; }
    QList<TerminalRecord> stored() const {
        return TerminalRegistry(folder + QStringLiteral("Data.db")).list();
    }
    // Prompt entries as "kind:text" (errors without their database text).
    QStringList shown() const {
        QStringList result;
        for (const ScriptedPrompt::Entry& e : prompt.entries()) {
            switch (e.kind) {
            case Kind::Warning:
                result << QStringLiteral("W:") + e.text;
                break;
            case Kind::Confirm:
                result << QStringLiteral("C:") + e.text;
                break;
            case Kind::Message:
                result << QStringLiteral("M:") + e.text;
                break;
            case Kind::Error:
                result << QStringLiteral("E");
                break;
            default:
                result << QStringLiteral("?");
            }
        }
        return result;
    }
};

void choose(Tfrmyeni& e, const QString& choice) {
    e.ComboBox1->setCurrentIndex(e.ComboBox1->findText(choice));
    Q_EMIT e.ComboBox1->activated(e.ComboBox1->currentIndex());
}

} // namespace

class TestShellWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startup_data() {
        QTest::addColumn<bool>("dataDb");
        QTest::addColumn<bool>("logDb");
        QTest::addColumn<QByteArray>("dataBytes"); // replaces Data.db when not empty
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("rows");
        QTest::newRow("store complete") << true << true << QByteArray() << QStringList() << 2;
        QTest::newRow("no Log.db: message, then normal")
            << true << false << QByteArray() << QStringList{"W:Log dosyası bulunamadı....."} << 2;
        QTest::newRow("no Data.db: message, error, empty grid")
            << false << true << QByteArray() << QStringList{"W:Data dosyası bulunamadı.....", "E"}
            << 0;
        QTest::newRow("neither") << false << false << QByteArray()
                                 << QStringList{"W:Data dosyası bulunamadı.....",
                                                "W:Log dosyası bulunamadı.....", "E"}
                                 << 0;
        QTest::newRow("Data.db not a database: its error ends start-up")
            << true << true << QByteArray(4096, 'x') << QStringList{"E"} << 0;
    }
    void startup() {
        QFETCH(bool, dataDb);
        QFETCH(bool, logDb);
        QFETCH(QByteArray, dataBytes);
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez"), terminal("Depo")});
        if (!dataBytes.isEmpty())
            QVERIFY(writeFileBytes(s.folder + "Data.db", dataBytes));
        if (!dataDb)
            QVERIFY(QFile::remove(s.folder + "Data.db"));
        if (!logDb)
            QVERIFY(QFile::remove(s.folder + "Log.db"));
        QVERIFY(writeFileBytes(s.folder + "Settings.ini", "[Options]\r\nveriDosya2=1\r\n"));
        s.start();
        QTEST(s.shown(), "shown");
        for (const ScriptedPrompt::Entry& e : s.prompt.entries()) {
            QCOMPARE(e.caption,
                     e.kind == Kind::Warning ? QStringLiteral("UYARI") : Tfrmgiris::title());
            if (e.kind == Kind::Error)
                QVERIFY(!e.text.isEmpty());
        }
        QTEST(s.dm->qrycihaz->rowCount(), "rows");
        // Start-up never makes a store of its own, and the options are read in any case.
        QCOMPARE(QFile::exists(s.folder + "Data.db"), dataDb);
        QCOMPARE(QFile::exists(s.folder + "Log.db"), logDb);
        QVERIFY(s.main->CheckBox1->isChecked());
        QVERIFY(!s.main->CheckBox2->isChecked());
        QCOMPARE(s.main->BitBtn1->isEnabled(), true);
    }

    void startupState() {
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez"), terminal("Ankara", "com"), terminal("Depo", "usb")});
        s.start();
        Tfrmgiris& w = *s.main;
        QCOMPARE(w.windowTitle(), QStringLiteral("Selvano (R Serisi) v1.0.2 [Quenvar]"));
        QCOMPARE(w.PageControl1->currentIndex(), 0);
        QCOMPARE(w.PageControl1->tabText(0), QStringLiteral("Standart Veri Aktarımı"));
        QCOMPARE(w.PageControl1->tabText(1), QStringLiteral("Toplu Veri Aktarımı"));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        for (QPushButton* b : {w.BitBtn5, w.BitBtn6, w.BitBtn7, w.BitBtn8, w.BitBtn9, w.BitBtn10})
            QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
        for (QPushButton* b : {w.BitBtn1, w.BitBtn2, w.BitBtn3, w.BitBtn4, w.BitBtn11, w.Button3})
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
        QCOMPARE(w.BitBtn4->text(), QStringLiteral("BAGLAN"));
        for (QPlainTextEdit* m : {w.Memo3, w.Memo4}) {
            QVERIFY(m->isReadOnly());
            QCOMPARE(m->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(m->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        }
        QCOMPARE(w.PopupMenu1->actions().size(), 1);
        QCOMPARE(w.PopupMenu1->actions().first()->text(),
                 QStringLiteral("Terminalde Tanımlı Tüm Parmakizlerini Sil"));
        QCOMPARE(w.folderLabel->text(), s.folder);

        // The grid: Terminal, Tip, IP in this order, sorted by name, on its first row.
        QStringList titles;
        QHeaderView* header = w.DBGrid1->horizontalHeader();
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (!header->isSectionHidden(logical))
                titles << s.dm->qrycihaz->headerData(logical, Qt::Horizontal).toString();
        }
        QCOMPARE(titles, (QStringList{"Terminal", "Tip", "IP"}));
        QCOMPARE(s.names(), (QStringList{"Ankara", "Depo", "Merkez"}));
        QCOMPARE(s.current(), QStringLiteral("Ankara"));
        QCOMPARE(w.DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(w.DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(s.prompt.entries().isEmpty());
    }

    void saveOptionsKeepsTheRestOfTheFile() {
        Shell s;
        s.createStore();
        const QByteArray before = "; PDKS ayarlari\r\n[Login]\r\nServer=10.1.1.1\r\nDatabase=\xDE"
                                  "ube\r\n\r\n[Options]\r\nveriDosya2=1\r\nveriSil=yes\r\n"
                                  "dorvak=\r\n\r\n[MySql]\r\nUser=pdks\r\nPort=3306\r\n";
        QVERIFY(writeFileBytes(s.folder + "Settings.ini", before));
        s.start();
        QVERIFY(s.main->CheckBox1->isChecked());
        QVERIFY(!s.main->CheckBox2->isChecked());
        QVERIFY(!s.main->CheckBox3->isChecked());
        s.main->CheckBox1->setChecked(false);
        s.main->CheckBox3->setChecked(true);
        s.main->Button2->click();
        QByteArray after = before;
        after.replace("veriDosya2=1\r\nveriSil=yes\r\ndorvak=\r\n",
                      "veriDosya2=0\r\nveriSil=0\r\ndorvak=1\r\n");
        QCOMPARE(readFileBytes(s.folder + "Settings.ini"), after);
        QVERIFY(s.prompt.entries().isEmpty());
    }

    void saveOptionsNotWritableShowsTheError() {
        Shell s;
        s.createStore();
        s.start();
        // The program folder is gone: the file cannot be written.
        QVERIFY(s.dir.remove());
        s.main->Button2->click();
        QCOMPARE(s.prompt.texts(Kind::Error).size(), 1);
        QVERIFY(!QFile::exists(s.folder + "Settings.ini"));
    }

    void ekleOnAFreshStart() {
        Shell s;
        s.createStore();
        s.start();
        QCOMPARE(s.editor->windowTitle(), QStringLiteral("Terminal Ekle-Değiştir"));
        QCOMPARE(s.editor->ComboBox1->currentIndex(), -1);
        QCOMPARE(s.editor->passwordEdit->text(), QStringLiteral("731586"));
        s.withEditor(s.main->BitBtn1, [](Tfrmyeni& e) {
            QCOMPARE(e.mode, QStringLiteral("yeni"));
            QCOMPARE(e.nameEdit->text(), QString());
            QCOMPARE(e.numberEdit->text(), QStringLiteral("1"));
            QCOMPARE(e.ComboBox1->currentText(), QStringLiteral("tcp/ip"));
            QVERIFY(!e.GroupBox1->isVisible());
            QVERIFY(e.GroupBox2->isVisible());
            QCOMPARE(e.ipEdit->text(), QStringLiteral("192.168.0.100"));
            QCOMPARE(e.tcpPortEdit->text(), QStringLiteral("5005"));
            QCOMPARE(e.passwordEdit->text(), QStringLiteral("0"));
            QCOMPARE(e.comPortEdit->text(), QStringLiteral("1"));
            QCOMPARE(e.baudEdit->text(), QStringLiteral("9600"));
            QVERIFY(!e.ComboBox1->isEditable());
        });
        QCOMPARE(s.editorShown, 1);
    }

    void ekleAfterDegistirKeepsTheTerminalsSettings() {
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez", "com")});
        s.start();
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) { e.Button1->click(); });
        s.withEditor(s.main->BitBtn1, [](Tfrmyeni& e) {
            QCOMPARE(e.nameEdit->text(), QString());
            QCOMPARE(e.passwordEdit->text(), QStringLiteral("0"));
            QCOMPARE(e.numberEdit->text(), QStringLiteral("7"));
            QCOMPARE(e.ipEdit->text(), QStringLiteral("10.1.1.9"));
            QCOMPARE(e.tcpPortEdit->text(), QStringLiteral("4370"));
            QCOMPARE(e.comPortEdit->text(), QStringLiteral("3"));
            QCOMPARE(e.baudEdit->text(), QStringLiteral("19200"));
            QCOMPARE(e.ComboBox1->currentText(), QStringLiteral("tcp/ip"));
        });
        QCOMPARE(s.stored().size(), 1);
    }

    void degistirChoosesByTip_data() {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("comBox");
        QTest::addColumn<bool>("tcpBox");
        QTest::newRow("com") << "com"
                             << "comport" << true << false;
        QTest::newRow("ethernet") << "ethernet"
                                  << "tcp/ip" << false << true;
        QTest::newRow("usb") << "usb"
                             << "usb" << false << false;
        // Any other spelling keeps the choice the last use left ("usb" below).
        QTest::newRow("Ethernet with a capital") << "Ethernet"
                                                 << "usb" << false << false;
        QTest::newRow("empty") << ""
                               << "usb" << false << false;
    }
    void degistirChoosesByTip() {
        QFETCH(QString, tip);
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez", tip)});
        s.start();
        s.withEditor(s.main->BitBtn1, [](Tfrmyeni& e) { choose(e, "usb"); });
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) {
            QCOMPARE(e.mode, QStringLiteral("guncelle"));
            QTEST(e.ComboBox1->currentText(), "choice");
            QTEST(e.GroupBox1->isVisible(), "comBox");
            QTEST(e.GroupBox2->isVisible(), "tcpBox");
            QCOMPARE(e.nameEdit->text(), QStringLiteral("Merkez"));
            QCOMPARE(e.passwordEdit->text(), QStringLiteral("1234"));
        });
    }

    void switchingTypeSetsPassword_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("comBox");
        QTest::addColumn<bool>("tcpBox");
        QTest::newRow("comport leaves it") << "comport"
                                           << "1234" << true << false;
        QTest::newRow("tcp/ip sets 0") << "tcp/ip"
                                       << "0" << false << true;
        QTest::newRow("usb sets 0") << "usb"
                                    << "0" << false << false;
    }
    void switchingTypeSetsPassword() {
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez", "com")});
        s.start();
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) {
            QFETCH(QString, choice);
            choose(e, choice);
            QTEST(e.passwordEdit->text(), "password");
            QTEST(e.GroupBox1->isVisible(), "comBox");
            QTEST(e.GroupBox2->isVisible(), "tcpBox");
        });
    }

    void usbRoundTrip() {
        Shell s;
        s.createStore();
        s.start();
        s.withEditor(s.main->BitBtn1, [](Tfrmyeni& e) {
            e.nameEdit->setText("Kapı");
            choose(e, "usb");
            e.BitBtn2->click();
            QVERIFY(!e.isVisible());
        });
        QCOMPARE(s.stored().size(), 1);
        QCOMPARE(s.stored().first().tip, QStringLiteral("usb"));
        QCOMPARE(s.stored().first().password, QStringLiteral("0"));
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) {
            QCOMPARE(e.ComboBox1->currentText(), QStringLiteral("usb"));
            QVERIFY(!e.GroupBox1->isVisible());
            QVERIFY(!e.GroupBox2->isVisible());
        });
        QVERIFY(s.prompt.entries().isEmpty());
    }

    void updateWithoutAKnownTipKeepsIt() {
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez", "Ethernet")});
        s.start();
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) {
            e.numberEdit->setText(" 9 ");
            e.BitBtn2->click();
        });
        QCOMPARE(s.stored().first().tip, QStringLiteral("Ethernet"));
        QCOMPARE(s.stored().first().terminalNo, QStringLiteral("9"));
    }

    void saveRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty name") << ""
                                    << "1" << QStringList{"W:Terminal Adını Giriniz."};
        QTest::newRow("number not a whole number") << "Depo"
                                                   << "bir" << QStringList{"E"};
    }
    void saveRefusals() {
        QFETCH(QString, name);
        QFETCH(QString, number);
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez")});
        s.start();
        for (QPushButton* button : {s.main->BitBtn1, s.main->BitBtn2}) {
            s.prompt.clear();
            s.withEditor(button, [&](Tfrmyeni& e) {
                e.nameEdit->setText(name);
                e.numberEdit->setText(number);
                e.BitBtn2->click();
                QVERIFY(e.isVisible());
                if (name.isEmpty())
                    QCOMPARE(e.focusWidget(), e.nameEdit);
            });
            QTEST(s.shown(), "shown");
            QCOMPARE(s.stored().size(), 1);
            QCOMPARE(s.stored().first().name, QStringLiteral("Merkez"));
            QCOMPARE(s.stored().first().terminalNo, QStringLiteral("7"));
        }
        QCOMPARE(s.prompt.entries().first().caption,
                 name.isEmpty() ? QStringLiteral("UYARI") : Tfrmgiris::title());
    }

    void gridPositionAfterSaveInsertDelete() {
        Shell s;
        s.createStore();
        s.seed({terminal("Ankara"), terminal("Bursa"), terminal("Ceyhan")});
        s.start();
        s.main->selectTerminalRow(2);
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) {
            e.nameEdit->setText("Bolu");
            e.BitBtn2->click();
        });
        QCOMPARE(s.names(), (QStringList{"Ankara", "Bolu", "Bursa"}));
        QCOMPARE(s.current(), QStringLiteral("Bolu"));

        s.main->selectTerminalRow(2);
        s.withEditor(s.main->BitBtn1, [](Tfrmyeni& e) {
            e.nameEdit->setText("Zonguldak");
            e.BitBtn2->click();
        });
        QCOMPARE(s.names(), (QStringList{"Ankara", "Bolu", "Bursa", "Zonguldak"}));
        QCOMPARE(s.current(), QStringLiteral("Ankara"));

        s.main->selectTerminalRow(3);
        s.prompt.answerConfirm(true);
        s.main->BitBtn3->click();
        QCOMPARE(s.shown(), QStringList{"C:Seçili kaydı Silmek İstiyor musunuz...?"});
        QCOMPARE(s.prompt.entries().first().caption, QStringLiteral("UYARI"));
        QCOMPARE(s.names(), (QStringList{"Ankara", "Bolu", "Bursa"}));
        QCOMPARE(s.current(), QStringLiteral("Ankara"));
    }

    void deleteAnsweredNoChangesNothing() {
        Shell s;
        s.createStore();
        s.seed({terminal("Ankara"), terminal("Bursa")});
        s.start();
        s.main->selectTerminalRow(1);
        s.prompt.answerConfirm(false);
        s.main->BitBtn3->click();
        QCOMPARE(s.shown(), QStringList{"C:Seçili kaydı Silmek İstiyor musunuz...?"});
        QCOMPARE(s.stored().size(), 2);
        QCOMPARE(s.current(), QStringLiteral("Bursa"));
    }

    void rowGoneFromTheTable() {
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez")});
        s.start();
        const QString id = s.main->selectedTerminal().id;
        TerminalRegistry(s.folder + "Data.db").remove(id);
        // The change shows the boxes' last contents; saving says the row is gone.
        s.withEditor(s.main->BitBtn2, [](Tfrmyeni& e) {
            QCOMPARE(e.nameEdit->text(), QStringLiteral("Terminal"));
            e.BitBtn2->click();
            QVERIFY(e.isVisible());
        });
        QCOMPARE(s.shown(), QStringList{"E"});
        QVERIFY(s.stored().isEmpty());
        // The delete finds nothing and only requeries the list.
        s.prompt.clear();
        s.prompt.answerConfirm(true);
        s.main->BitBtn3->click();
        QCOMPARE(s.shown(), QStringList{"C:Seçili kaydı Silmek İstiyor musunuz...?"});
        QVERIFY(s.names().isEmpty());
    }

    void emptyListChangeAndDeleteDoNothing() {
        Shell s;
        s.createStore();
        s.start();
        s.main->BitBtn2->click();
        s.main->BitBtn3->click();
        QCOMPARE(s.editorShown, 0);
        QVERIFY(s.prompt.entries().isEmpty());
    }

    void kapatStoresNothing() {
        Shell s;
        s.createStore();
        s.start();
        s.withEditor(s.main->BitBtn1, [](Tfrmyeni& e) {
            e.nameEdit->setText("Depo");
            e.Button1->click();
            QVERIFY(!e.isVisible());
        });
        QVERIFY(s.stored().isEmpty());
    }

    void connectAndDisconnect() {
        EmulatorProcess emulator;
        QVERIFY2(emulator.start(), qPrintable(emulator.errorText()));
        Shell s;
        s.createStore();
        TerminalRecord row = terminal("Merkez");
        row.terminalNo = "1";
        row.password = "0";
        row.ip = "127.0.0.1";
        row.netPort = QString::number(emulator.port());
        s.seed({row});
        s.start();
        Tfrmgiris& w = *s.main;
        w.BitBtn4->click();
        QTRY_COMPARE(w.BitBtn4->text(), QStringLiteral("BAGLANTI_KES"));
        QTRY_VERIFY(w.BitBtn4->isEnabled());
        for (QPushButton* b : {w.BitBtn5, w.BitBtn6, w.BitBtn7, w.BitBtn8, w.BitBtn9, w.BitBtn10})
            QVERIFY(b->isEnabled());
        QCOMPARE(w.session().terminalName(), QStringLiteral("Merkez"));
        QCOMPARE(w.session().sessionIp(), QStringLiteral("127.0.0.1"));
        w.BitBtn4->click();
        QCOMPARE(w.BitBtn4->text(), QStringLiteral("BAGLAN"));
        for (QPushButton* b : {w.BitBtn5, w.BitBtn6, w.BitBtn7, w.BitBtn8, w.BitBtn9, w.BitBtn10})
            QVERIFY(!b->isEnabled());
        QCOMPARE(w.session().sessionIp(), QString());
        QVERIFY(s.prompt.entries().isEmpty());
    }

    void closingWaitsForTheConnection() {
        EmulatorProcess emulator;
        EmulatorOptions slow;
        slow.arguments = {QStringLiteral("--delay"), QStringLiteral("300")};
        QVERIFY2(emulator.start(EmulatorProcess::defaultState(), slow),
                 qPrintable(emulator.errorText()));
        Shell s;
        s.createStore();
        TerminalRecord row = terminal("Merkez");
        row.terminalNo = "1";
        row.password = "0";
        row.ip = "127.0.0.1";
        row.netPort = QString::number(emulator.port());
        s.seed({row});
        s.start();
        s.main->show();
        s.main->BitBtn4->click();
        QVERIFY(!s.main->close());
        QVERIFY(s.main->isVisible());
        QTRY_COMPARE(s.main->BitBtn4->text(), QStringLiteral("BAGLANTI_KES"));
        QVERIFY(s.main->close());
    }

    void connectFailures_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nobody listening") << "1" << QStringList{"M:Hata..Bağlantı Kurulamadı...."};
        QTest::newRow("TerminalNo not a whole number") << "abc" << QStringList{"E"};
    }
    void connectFailures() {
        QFETCH(QString, number);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        Shell s;
        s.createStore();
        s.seed({terminal("Merkez")});
        {
            // Rows written by older tools may hold anything.
            TerminalRegistry registry(s.folder + "Data.db");
            QSqlQuery q(registry.database());
            QVERIFY(q.exec(QStringLiteral("update Terminal set TerminalNo = '%1', Ip = "
                                          "'127.0.0.1', NetPort = %2")
                               .arg(number)
                               .arg(port)));
        }
        s.start();
        Tfrmgiris& w = *s.main;
        w.BitBtn4->click();
        QTRY_COMPARE(s.prompt.entries().size(), 1);
        QTRY_VERIFY(w.BitBtn4->isEnabled());
        QTEST(s.shown(), "shown");
        QCOMPARE(w.BitBtn4->text(), QStringLiteral("BAGLAN"));
        for (QPushButton* b : {w.BitBtn5, w.BitBtn6, w.BitBtn7, w.BitBtn8, w.BitBtn9, w.BitBtn10})
            QVERIFY(!b->isEnabled());
    }
};

QTEST_MAIN(TestShellWindow)
#include "test_shell_window.moc"
