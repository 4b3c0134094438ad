// The bell window and the main window's maintenance handlers, driven as a user would, against
// the emulated terminal.
#include "device_session.h"
#include "emulator_process.h"
#include "scripted_prompt.h"
#include "terminal_registry.h"
#include "text_formats.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"
#include "tfrmzil.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Bell n (1..24) at (n-1):30, day (n-1) % 8, n seconds; bytes 4 to 7 set to n.
QString bellsHex() {
    QByteArray table(BellTableSize, '\0');
    for (int n = 0; n < BellCount; ++n) {
        table[n * 8] = static_cast<char>(n);
        table[n * 8 + 1] = 30;
        table[n * 8 + 2] = static_cast<char>(n % 8);
        table[n * 8 + 3] = static_cast<char>(n + 1);
        for (int k = 4; k < 8; ++k)
            table[n * 8 + k] = static_cast<char>(n + 1);
    }
    return QString::fromLatin1(table.toHex());
}

} // namespace

class TestMaintenanceWindows : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder_;
    EmulatorProcess emulator_;
    ScriptedPrompt prompt_;
    std::unique_ptr<TfrmDM> dm_;
    std::unique_ptr<Tfrmgiris> main_;
    Tfrmzil* bells_ = nullptr;

    bool connect(const QJsonObject& state) {
        if (!emulator_.start(state))
            return false;
        TerminalRecord row;
        row.terminalNo = QStringLiteral("1");
        row.name = QStringLiteral("Merkez");
        row.tip = QStringLiteral("ethernet");
        row.ip = QStringLiteral("127.0.0.1");
        row.netPort = QString::number(emulator_.port());
        row.password = QStringLiteral("0");
        return main_->session().OpenSession(row);
    }
    QJsonObject state() const {
        QJsonObject s = EmulatorProcess::defaultState();
        s.insert(QStringLiteral("bells"), bellsHex());
        return s;
    }
    static void waitEnabled(QPushButton* button) {
        QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000);
    }

private Q_SLOTS:
    void init() {
        processTextFormats() = TextFormats();
        prompt_.clear();
        QString error;
        QVERIFY2(TerminalRegistry::createStore(folder_.path() + QLatin1Char('/'), &error),
                 qPrintable(error));
        dm_ = std::make_unique<TfrmDM>(folder_.path() + QLatin1Char('/'));
        main_ = std::make_unique<Tfrmgiris>(*dm_, prompt_, folder_.path() + QLatin1Char('/'));
        bells_ = new Tfrmzil(*main_);
        main_->setWindows(nullptr, nullptr, bells_);
    }
    void cleanup() {
        main_.reset();
        dm_.reset();
        emulator_.stop();
    }

    void bellWindowLayout() {
        QCOMPARE(bells_->windowTitle(), QStringLiteral("Zil Saatleri"));
        QCOMPARE(bells_->labels[0]->text(), QStringLiteral("Zil 1:"));
        QCOMPARE(bells_->labels[4]->text(), QStringLiteral("Zil5:"));
        QCOMPARE(bells_->labels[23]->text(), QStringLiteral("Zil 24:"));
        QCOMPARE(bells_->sa[16]->objectName(), QStringLiteral("sa17"));
        QCOMPARE(bells_->gun[16]->objectName(), QStringLiteral("gun17"));
        QCOMPARE(bells_->sure[16]->objectName(), QStringLiteral("sure17"));
        const QStringList days{"Her gün",  "Pazar",    "Pazartesi", "Salı",
                               "Çarşamba", "Perşembe", "Cuma",      "Cumartesi"};
        for (int i = 0; i < BellCount; ++i) {
            QVERIFY(bells_->sa[i]->text().isEmpty());
            QVERIFY(bells_->sure[i]->text().isEmpty());
            QCOMPARE(bells_->gun[i]->currentIndex(), -1);
            QVERIFY(!bells_->gun[i]->isEditable());
        }
        QStringList items;
        for (int i = 0; i < bells_->gun[0]->count(); ++i)
            items << bells_->gun[0]->itemText(i);
        QCOMPARE(items, days);
        QCOMPARE(bells_->Button1->text(),
                 QStringLiteral("Terminalden Zil Saatlerini Oku<<<<<<<-----------------"));
        QCOMPARE(bells_->Button2->text(),
                 QStringLiteral("--------->>>>>Zil Saatlerii Terminale Gönder"));
        QCOMPARE(bells_->BitBtn1->text(), QStringLiteral("Kapat"));
    }

    void readEditAndSend() {
        QVERIFY(connect(state()));
        bells_->Button1->click();
        QVERIFY(!bells_->Button1->isEnabled());
        waitEnabled(bells_->Button1);
        QCOMPARE(prompt_.texts(), QStringList());
        QCOMPARE(bells_->sa[9]->text(), QStringLiteral("09:30:00"));
        QCOMPARE(bells_->gun[9]->currentIndex(), 1);
        QCOMPARE(bells_->sure[9]->text(), QStringLiteral("10"));

        bells_->sa[0]->setText(QStringLiteral("06:15:59"));
        bells_->gun[0]->setCurrentIndex(-1);
        bells_->sure[0]->setText(QStringLiteral("256"));
        bells_->Button2->click();
        waitEnabled(bells_->Button2);
        QCOMPARE(prompt_.texts(), QStringList{"Zil saatleri yüklendi"});
        const QByteArray sent = QByteArray::fromHex(
            emulator_.state().value(QStringLiteral("bells")).toString().toLatin1());
        QCOMPARE(sent.left(8), QByteArray::fromHex("060fff0001010101"));
        QCOMPARE(sent.mid(8), QByteArray::fromHex(bellsHex().toLatin1()).mid(8));
    }

    void freshWindowNamesTheRow() {
        QVERIFY(connect(state()));
        bells_->Button2->click();
        waitEnabled(bells_->Button2);
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Message),
                 QStringList{"HATA!!!! yüklenemedi...."});
        const QStringList errors = prompt_.texts(ScriptedPrompt::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Zil 1:")), qPrintable(errors.first()));
        QCOMPARE(emulator_.state().value(QStringLiteral("comm_status")).toInt(), 0);
    }

    void clockButtons() {
        QVERIFY(connect(state()));
        main_->setDeviceButtonsEnabled(true);
        main_->BitBtn7->click();
        QVERIFY(!main_->BitBtn7->isEnabled());
        QVERIFY(!main_->BitBtn6->isEnabled()); // one command on the link at a time
        QVERIFY(QApplication::overrideCursor());
        waitEnabled(main_->BitBtn7);
        QVERIFY(main_->BitBtn6->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prompt_.texts(), QStringList{"2024-3-5 9:7:0"});
    }

    void clockButtonAfterLinkLost() {
        QVERIFY(connect(state()));
        main_->setDeviceButtonsEnabled(true);
        emulator_.stop();
        main_->BitBtn6->click();
        waitEnabled(main_->BitBtn6);
        QVERIFY(main_->BitBtn7->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Error).size(), 1);
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Message), QStringList());
    }

    void adminCancelButton() {
        QJsonObject s = state();
        s.insert(QStringLiteral("users"),
                 QJsonArray{QJsonObject{{"enroll_number", "1"}, {"privilege", 2}},
                            QJsonObject{{"enroll_number", "2"}, {"privilege", 4}}});
        QVERIFY(connect(s));
        main_->setDeviceButtonsEnabled(true);
        main_->BitBtn4->setEnabled(true);
        prompt_.answerConfirm(true);
        main_->BitBtn8->click();
        QVERIFY(!main_->BitBtn4->isEnabled()); // the link stays open under the work
        waitEnabled(main_->BitBtn8);
        QVERIFY(main_->BitBtn4->isEnabled());
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Message),
                 QStringList{"Tüm Yöneticiler İptal Edildi...."});
        const QJsonArray left = emulator_.state().value(QStringLiteral("users")).toArray();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().toObject().value(QStringLiteral("enroll_number")).toString(),
                 QStringLiteral("2"));
    }

    void bellWindowStandsInForMain() {
        main_->show();
        bool mainHidden = false;
        QTimer::singleShot(0, bells_, [&] {
            mainHidden = !main_->isVisible();
            bells_->BitBtn1->click();
        });
        main_->BitBtn9Click();
        QVERIFY(mainHidden);
        QVERIFY(main_->isVisible());
        QVERIFY(!bells_->isVisible());
    }

    void wipeWithoutLinkRefuses() {
        main_->erminaldeTanmlTmParmakizleriniSil1->trigger();
        QTRY_COMPARE(prompt_.texts(ScriptedPrompt::Kind::Warning).size(), 1);
        QTRY_VERIFY(main_->erminaldeTanmlTmParmakizleriniSil1->isEnabled());
        QCOMPARE(prompt_.texts(ScriptedPrompt::Kind::Confirm), QStringList());
    }
};

QTEST_MAIN(TestMaintenanceWindows)
#include "test_maintenance_windows.moc"
