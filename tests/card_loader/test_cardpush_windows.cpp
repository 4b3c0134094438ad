// cardpush's windows on a real PDKS database: what the main window shows and how its filters
// re-query, and the terminal definition window's grid.

#include "pdks_test_db.h"
#include "scripted_prompt.h"
#include "tfrmdmmysql.h"
#include "tfrmgiris.h"
#include "tfrmterminaltanimlama.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using cardpush::Tfrmgiris;
using Kind = ScriptedPrompt::Kind;

namespace {

QStringList titles(const QAbstractItemModel* model) {
    QStringList out;
    for (int c = 0; c < model->columnCount(); ++c)
        out << model->headerData(c, Qt::Horizontal).toString();
    return out;
}

} // namespace

class TestCardpushWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void mainWindowAtStart();
    void filtersRequery();
    void kartnoWaitsForTheNextChange();
    void failedConnectionWarnsOnce();
    void terminalDefinitionGrid();
    void definitionWindowFromTheMenu();

private:
    PdksTestDb db_;
    QTemporaryDir folder_;
};

void TestCardpushWindows::initTestCase() {
    QString error;
    const PdksTestDb server = PdksTestDb::fromFixture(&error);
    QVERIFY2(server.isValid(), qPrintable(error));
    db_ = server.freshDatabase("pdks_windows");
    db_.writeSettingsIni(folder_.path());
}

void TestCardpushWindows::mainWindowAtStart() {
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    Tfrmgiris w(dm, folder_.path() + "/", &prompt);
    QCOMPARE(w.windowTitle(),
             " SelvanoR/Norvi/Miro/Pelto/SelvanoR yüz için PDKS'den cihaza kart/şifre/yüz yükle "
             "v1.0.2 [Quenvar]      [Server=127.0.0.1,  Veritabanı=pdks_windows]");
    QVERIFY(w.RadioButton4->isChecked());
    QVERIFY(w.RadioButton6->isChecked());
    QVERIFY(w.RadioButton9->isChecked());
    QVERIFY(w.RadioButton1->isChecked());
    QCOMPARE(w.NxValComboBox1->count(), 5);
    QCOMPARE(w.NxValComboBox1->itemText(0), QString());
    QCOMPARE(w.NxValComboBox6->itemText(1), "Çağ Metal San. ve Tic. A.Ş.");
    QCOMPARE(w.enrollData(), nullptr);

    w.show();
    QVERIFY2(prompt.entries().isEmpty(), qPrintable(prompt.texts().join('\n')));
    QCOMPARE(w.kayitsayisi->text(), "16");
    QCOMPARE(titles(w.DBGrid2->model()),
             QStringList({"Kart No", "İsim", "Kart Id", "Grup", "Bölüm"}));
    QCOMPARE(w.DBGrid2->model()->index(0, 1).data().toString(), "İsmail Şahin");
    QCOMPARE(titles(w.DBGrid1->model()),
             QStringList({"Cihaz Adı", "Ip Adres", "Port", "Cihaz tipi"}));
    QCOMPARE(w.DBGrid1->model()->rowCount(), 2);
    QCOMPARE(w.DBGrid1->model()->index(1, 0).data().toString(), "Yemekhane Önü");
    QVERIFY(w.enrollData());
    QCOMPARE(w.enrollData()->size(), std::size_t(355));

    const QList<QAction*> menus = w.menuBar()->actions();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus[0]->text(), "Tanımlar");
    QCOMPARE(w.TerminalTanimlama1->text(), "Terminal Tanımlama");
}

void TestCardpushWindows::filtersRequery() {
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    Tfrmgiris w(dm, folder_.path() + "/", &prompt);
    w.show();
    w.DBGrid2->setCurrentIndex(w.DBGrid2->model()->index(3, 0));
    w.Edit1->setText(QStringLiteral("ç"));
    QCOMPARE(w.kayitsayisi->text(), "1");         // Çağrı
    QCOMPARE(w.DBGrid2->currentIndex().row(), 0); // the reopened list stands on its first row
    w.Edit1->setText(QString());
    w.NxValComboBox1->setCurrentIndex(w.NxValComboBox1->findText("Üretim"));
    QCOMPARE(w.kayitsayisi->text(), "5");
    w.RadioButton5->click();
    QCOMPARE(w.kayitsayisi->text(), "6");
    w.NxValComboBox1->setCurrentIndex(0); // the empty entry drops the condition again
    QCOMPARE(w.kayitsayisi->text(), "20");
    // A person with neither group nor department is listed with empty cells.
    const QAbstractItemModel* grid = w.DBGrid2->model();
    bool seen = false;
    for (int row = 0; row < grid->rowCount(); ++row)
        if (grid->index(row, 0).data() == "00020") {
            seen = true;
            QCOMPARE(grid->index(row, 3).data().toString(), QString());
            QCOMPARE(grid->index(row, 4).data().toString(), QString());
        }
    QVERIFY(seen);
    QVERIFY(prompt.entries().isEmpty());
}

void TestCardpushWindows::kartnoWaitsForTheNextChange() {
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    Tfrmgiris w(dm, folder_.path() + "/", &prompt);
    w.show();
    w.Edit1->setText("12");
    QCOMPARE(w.kayitsayisi->text(), "0"); // no name holds 12
    w.RadioButton3->click();
    QCOMPARE(w.kayitsayisi->text(), "0");
    w.RadioButton5->click();
    QCOMPARE(w.kayitsayisi->text(), "6");
    w.RadioButton8->click(); // kartid: called at once
    QCOMPARE(w.kayitsayisi->text(), "0");
}

void TestCardpushWindows::failedConnectionWarnsOnce() {
    QTemporaryDir empty;
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    Tfrmgiris w(dm, empty.path() + "/", &prompt);
    QVERIFY(w.windowTitle().endsWith("[Quenvar]      [Server=,  Veritabanı=]"));
    w.show();
    w.Edit1->setText("a");
    QCOMPARE(prompt.texts(Kind::Warning), QStringList{"Veritabanına bağlanamadı...."});
    QVERIFY(prompt.texts(Kind::Error).size() >= 3);
    QCOMPARE(w.kayitsayisi->text(), QString());
}

void TestCardpushWindows::terminalDefinitionGrid() {
    const PdksTestDb db = PdksTestDb::fromFixture().freshDatabase("pdks_windows_terminals");
    QTemporaryDir dir;
    db.writeSettingsIni(dir.path());
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    Tfrmgiris w(dm, dir.path() + "/", &prompt);
    cardpush::TfrmTerminalTanimlama& t = *w.frmTerminalTanimlama;
    QCOMPARE(t.windowTitle(), "Terminal Tanımlama");
    t.show();
    const QAbstractItemModel* grid = t.DBGrid3->model();
    QCOMPARE(titles(grid),
             QStringList({"Kod", "Terminal Adı", "IP Adres", "Port", "Cihaz No", "Şifre", "SeriNo",
                          "AktarımTipi", "CihazTipi", "ModülTipi", "Seç"}));
    QCOMPARE(grid->headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QVERIFY(grid->index(0, 2).data(Qt::BackgroundRole).isValid());
    QVERIFY(!grid->index(0, 1).data(Qt::BackgroundRole).isValid());
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->index(2, 10).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // The check box flips and is saved at once, from another row too.
    QTest::mouseClick(t.DBGrid3->viewport(), Qt::LeftButton, {},
                      t.DBGrid3->visualRect(grid->index(2, 10)).center());
    QCOMPARE(db.client("select secim from terminaller where kod='03';"), QByteArray("1\n"));
    QCOMPARE(grid->index(2, 10).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

    // Moving down from the last row appends a row with the defaults; leaving it posts it.
    t.DBGrid3->setFocus();
    QTest::keyClick(t.DBGrid3, Qt::Key_Down);
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(grid->index(3, 0).data().toString(), "04");
    QCOMPARE(grid->index(3, 8).data().toString(), "Brennsoft");
    QCOMPARE(t.currentRow(), 3);
    QTest::keyClick(t.DBGrid3, Qt::Key_Up);
    QCOMPARE(db.client("select kod, cihaztipi, secim from terminaller where kod='04';"),
             QByteArray("04\tBrennsoft\t1\n"));

    // "Seçili Kaydı Sil" asks with the row's name.
    t.DBGrid3->setCurrentIndex(grid->index(0, 1));
    prompt.answerConfirm(true);
    t.SeciliKaydiSil1Click();
    QCOMPARE(prompt.texts(Kind::Confirm),
             QStringList{"\"Giriş Kapısı\" adlı Terminal Kaydını Silmek İstiyor musunuz...?"});
    QCOMPARE(db.client("select count(*) from terminaller;"), QByteArray("3\n"));

    // Closing the window shows the main window again with the new choices.
    t.accept();
    w.show();
    QCOMPARE(w.DBGrid1->model()->rowCount(), 3);
    QVERIFY2(prompt.texts(Kind::Error).isEmpty(), qPrintable(prompt.texts().join('\n')));
}

void TestCardpushWindows::definitionWindowFromTheMenu() {
    const PdksTestDb db = PdksTestDb::fromFixture().freshDatabase("pdks_windows_menu");
    QTemporaryDir dir;
    db.writeSettingsIni(dir.path());
    TfrmDMMYSQL dm;
    ScriptedPrompt prompt;
    Tfrmgiris w(dm, dir.path() + "/", &prompt);
    w.show();
    QCOMPARE(w.DBGrid1->model()->rowCount(), 2);
    bool mainHidden = false;
    QTimer::singleShot(0, &w, [&] {
        mainHidden = !w.isVisible();
        QVERIFY(w.frmTerminalTanimlama->isVisible());
        db.client("update terminaller set secim=0 where kod='01';");
        w.frmTerminalTanimlama->accept();
    });
    w.TerminalTanimlama1->trigger();
    QVERIFY(mainHidden);
    QVERIFY(w.isVisible());
    QCOMPARE(w.DBGrid1->model()->rowCount(), 1);
    QCOMPARE(w.kayitsayisi->text(), "16");
    QVERIFY(prompt.entries().isEmpty());
}

QTEST_MAIN(TestCardpushWindows)
#include "test_cardpush_windows.moc"
