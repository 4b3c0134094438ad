// The enrollment window itself: its controls and defaults, and a few handlers driven against
// an emulated terminal through the main window's session.
#include "enroll_fixture.h"
#include "scripted_prompt.h"
#include "tenrollform.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace enroll_test;

namespace {

const QList<TerminalUser> kUsers = {
    {"1", "Bir", 1, "", "", {}},
    {"5", "Şule", 16, "1234", "998877", {0, 3}},
};

// The main window and the enrollment window on a temporary program folder.
struct Windows {
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
    TfrmDM dm{folder};
    ScriptedPrompt prompt;
    Tfrmgiris main{dm, prompt, folder};
    TEnrollForm form{main};
};

bool settle(const TEnrollForm& form) {
    return QTest::qWaitFor([&] { return !form.isBusy(); }, 20000);
}

} // namespace

class TestEnrollWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsAndDefaults() {
        Windows w;
        TEnrollForm& f = w.form;
        f.setTerminalName("Merkez Bina");
        QCOMPARE(f.windowTitle(), QStringLiteral("Parmak/Kart/Yüz Tanımları"));
        QCOMPARE(f.Label333->text(), QStringLiteral("Merkez Bina"));
        QVERIFY(f.Label333->font().bold());
        QCOMPARE(f.PageControl1->currentWidget(), f.TabSheet1);
        QCOMPARE(f.PageControl1->tabText(0), QStringLiteral("TÜM DATA"));
        QCOMPARE(f.PageControl1->tabText(1), QStringLiteral("TEK DATA"));
        QCOMPARE(f.edtDN->text(), QStringLiteral("1"));
        QCOMPARE(f.cbbFingerNo->count(), 10);
        QCOMPARE(f.cbbFingerNo->currentText(), QStringLiteral("0"));
        QCOMPARE(f.cbbPrivilege->currentText(), QStringLiteral("User"));
        QCOMPARE(f.cbbPrivilege->itemText(4), QStringLiteral("Customer"));
        QCOMPARE(f.cbbUserEnable->currentText(), QStringLiteral("No"));
        QCOMPARE(f.cbbLockControl->currentIndex(), -1);
        QCOMPARE(f.cbbLockControl->itemText(3), QStringLiteral("lock 1 & 2"));
        QCOMPARE(f.cbbValidPeriod->currentText(), QStringLiteral("No"));
        QCOMPARE(f.dtpStartDate->dateTime(), QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        QCOMPARE(f.dtpEndDate->dateTime(), QDateTime(QDate(2099, 12, 31), QTime(0, 0)));
        QCOMPARE(f.dtpStartDate->displayFormat(), QStringLiteral("yyyy-MM-dd HH:mm"));
        for (QLineEdit* e :
             {f.edtAttTypeID, f.edtDeptID, f.edtGroupID, f.edtPassZone, f.edtReserve})
            QCOMPARE(e->text(), QStringLiteral("0"));
        QCOMPARE(f.mmoFingerprint->toPlainText(), QStringLiteral("00 ").repeated(498));
        QVERIFY(!f.CheckBox1->isChecked());
        QCOMPARE(f.lvRecord->columnCount(), 16);
        QCOMPARE(f.lvRecord->headerItem()->text(15), QStringLiteral("Privilege"));
        for (QPushButton* hidden :
             {f.btnGetUserDetailInfo, f.btnSetUserDetailInfo, f.btnGetEnrollByID, f.btnOpenFPData,
              f.btnSaveFPData, f.btnGetAllEnrollInfo, f.SpeedButton1, f.btnSelectAll, f.btnSaveAll,
              f.btnOpenAll, f.btnSaveOne, f.btnOpenOne})
            QVERIFY2(hidden->isHidden(), qPrintable(hidden->text()));
        QVERIFY(!f.btnReadFP->isHidden());
    }

    // Right after start, finger 3 sends a template of zeros at 1494..1991.
    void writeFingerprintRightAfterStart() {
        Windows w;
        EmulatorProcess emulator;
        QVERIFY(startAndConnect(emulator, w.main.session(), stateWith(kUsers)));
        w.form.cbbFingerNo->setCurrentIndex(3);
        w.form.btnWriteFPClick();
        QVERIFY(w.form.isBusy());
        QVERIFY(settle(w.form));
        QCOMPARE(w.prompt.texts(), QStringList({"set fp: Sucess"}));
        const QJsonObject fingers = userIn(emulator.state(), "1").value("fingerprints").toObject();
        QCOMPARE(fingers.value("3").toString(), hexOf(NewByteVector(FingerprintTemplateSize)));
    }

    // The detail read fills the fields and the fingerprint text; what is typed into that text
    // is never sent.
    void detailReadFillsControls() {
        Windows w;
        EmulatorProcess emulator;
        QVERIFY(startAndConnect(emulator, w.main.session(), stateWith(kUsers)));
        w.form.edtDN->setText(" 5 ");
        w.form.btnGetUserDetailInfoClick();
        QVERIFY(settle(w.form));
        QVERIFY(w.prompt.texts().isEmpty());
        QCOMPARE(w.form.edtPassword->text(), QStringLiteral("1234"));
        QCOMPARE(w.form.edtCardID->text(), QStringLiteral("998877"));
        QCOMPARE(w.form.edtUserName->text(), QStringLiteral("Şule"));
        QCOMPARE(w.form.edtDeptID->text(), QStringLiteral("3"));
        QCOMPARE(w.form.cbbUserEnable->currentText(), QStringLiteral("Yes"));
        QCOMPARE(w.form.cbbValidPeriod->currentText(), QStringLiteral("Yes"));
        QCOMPARE(w.form.cbbLockControl->currentIndex(), 0);
        QCOMPARE(w.form.dtpEndDate->date(), QDate(2030, 12, 31));
        QCOMPARE(w.form.edtDN->text(), QStringLiteral(" 5 "));
        QCOMPARE(w.form.mmoFingerprint->toPlainText(), BytesToHex(fingerprintTemplate(50)));

        w.form.mmoFingerprint->setPlainText("FF FF");
        w.form.edtDN->setText("1");
        w.form.btnWriteFPClick();
        QVERIFY(settle(w.form));
        QCOMPARE(userIn(emulator.state(), "1").value("fingerprints").toObject().value("0"),
                 QJsonValue(hexOf(fingerprintTemplate(50))));
    }

    // "ab" in Dept ID: the conversion's error box, nothing written, the terminal idle again.
    void detailWriteRefusesDeptText() {
        Windows w;
        EmulatorProcess emulator;
        QVERIFY(startAndConnect(emulator, w.main.session(), stateWith(kUsers)));
        w.form.edtDN->setText("5");
        w.form.edtUserName->setText("Başka");
        w.form.edtDeptID->setText("ab");
        w.form.btnSetUserDetailInfoClick();
        QVERIFY(settle(w.form));
        QCOMPARE(w.prompt.texts(ScriptedPrompt::Kind::Error),
                 QStringList({"'ab' is not a valid integer value"}));
        QCOMPARE(userIn(emulator.state(), "5").value("name").toString(), QStringLiteral("Şule"));
        QCOMPARE(emulator.state().value("comm_status").toInt(), 0);
        QVERIFY(w.form.PageControl1->isEnabled());
    }

    // Receive all into the program folder's allenroll.fpt, then send all ticks every row.
    void receiveAllThenSendAll() {
        Windows w;
        EmulatorProcess emulator;
        QVERIFY(startAndConnect(emulator, w.main.session(), stateWith(kUsers)));
        w.form.btnGetAllEnrollDataClick();
        QVERIFY(settle(w.form));
        QCOMPARE(w.prompt.texts(), QStringList({"Tüm data alındı...."}));
        QVERIFY(QFile::exists(w.folder + "allenroll.fpt"));
        QCOMPARE(w.form.lvRecord->topLevelItemCount(), 2);
        QCOMPARE(w.form.lvRecord->topLevelItem(1)->text(3), QStringLiteral("Y"));
        QCOMPARE(w.form.lvRecord->topLevelItem(1)->checkState(0), Qt::Unchecked);
        QTRY_COMPARE(w.form.Memo1->toPlainText(), QStringLiteral("1 Bir\n5 Şule"));

        w.prompt.clear();
        w.form.btnSetAllEnrollDataClick();
        QVERIFY(settle(w.form));
        QCOMPARE(w.prompt.texts(), QStringList({"Tüm data cihaza yüklendi..."}));
        for (int row = 0; row < 2; ++row)
            QCOMPARE(w.form.lvRecord->topLevelItem(row)->checkState(0), Qt::Checked);
    }
};

QTEST_MAIN(TestEnrollWindow)
#include "test_enroll_window.moc"
