#include "scripted_prompt.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString dataFile(const QString& name) {
    return qEnvironmentVariable("SELVANO_SOURCE_DIR") + QStringLiteral("/tests/data/xls/") + name;
}

} // namespace

class TestConversionWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cancelledDialogChangesNothing() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        TfrmDM dm(folder);
        ScriptedPrompt prompt;
        Tfrmgiris window(dm, prompt, folder);
        window.Edit1->setText(QStringLiteral("earlier.xls"));
        window.Memo4->setPlainText(QStringLiteral("00001 01.01.2011 07:00:00 01 00 10.0.0.1"));

        window.Button3Click();

        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries().first().kind, ScriptedPrompt::Kind::OpenFile);
        QCOMPARE(prompt.lastFolder(), folder);
        QCOMPARE(prompt.lastFilter(), QString());
        QCOMPARE(window.Edit1->text(), QStringLiteral("earlier.xls"));
        QCOMPARE(window.Memo4->toPlainText(),
                 QStringLiteral("00001 01.01.2011 07:00:00 01 00 10.0.0.1"));
        QVERIFY(window.Button3->isEnabled());
        QVERIFY(!QFile::exists(folder + QStringLiteral("veri.txt")));
    }

    void convertsOffTheWindowThread() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        TfrmDM dm(folder);
        ScriptedPrompt prompt;
        Tfrmgiris window(dm, prompt, folder);
        window.Memo4->setPlainText(QStringLiteral("a line of an earlier download"));
        const QString path = dataFile(QStringLiteral("records-date-cells.xls"));
        prompt.answerFile(path);

        window.Button3Click();
        QCOMPARE(window.Edit1->text(), path);
        QVERIFY(!window.Button3->isEnabled()); // until the conversion ends
        QTRY_VERIFY_WITH_TIMEOUT(window.Button3->isEnabled(), 60000);
        QTRY_COMPARE(window.Memo4->toPlainText(), QStringLiteral("00123 05.03.2011 08:30:00 01\n"
                                                                 "00007 05.03.2011 17:45:09 01\n"
                                                                 "1234567 06.03.2011 00:00:00 12\n"
                                                                 "00042 31.12.2010 23:59:59 03"));
        QTRY_COMPARE(window.ProgressBar1->value(), 4);
        QCOMPARE(window.ProgressBar1->maximum(), 4);
        QCOMPARE(prompt.entries().size(), 1); // the dialog only
        QFile veri(folder + QStringLiteral("veri.txt"));
        QVERIFY(veri.open(QIODevice::ReadOnly));
        QCOMPARE(veri.readAll().count("\r\n"), 4);
    }

    void errorShownAndWindowGoesOn() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        TfrmDM dm(folder);
        ScriptedPrompt prompt;
        Tfrmgiris window(dm, prompt, folder);
        prompt.answerFile(dataFile(QStringLiteral("hostile/two-dimension-records.xls")));

        window.Button3Click();
        QTRY_VERIFY_WITH_TIMEOUT(window.Button3->isEnabled(), 60000);
        QTRY_COMPARE(prompt.texts(ScriptedPrompt::Kind::Error).size(), 1);
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Message),
                 QStringList{QStringLiteral("Hata....Excele bağlanamadı...")});
        QVERIFY(!QFile::exists(folder + QStringLiteral("veri.txt")));
    }
};

QTEST_MAIN(TestConversionWindow)
#include "test_conversion_window.moc"
