// --help of both programs: the same words as the README, and every way of asking for it.

#include "../../card_loader/cli/help.h"
#include "../../terminal_tool/cli/help.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

QString readme() {
    QFile file(qEnvironmentVariable("SELVANO_SOURCE_DIR") + QStringLiteral("/README.md"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The README shows each text indented by four spaces, as a block of Markdown.
QString indented(const QString& text) {
    QString out;
    for (const QString& line : text.split(QLatin1Char('\n')))
        out += line.isEmpty() ? QStringLiteral("\n") : QStringLiteral("    ") + line + '\n';
    return out;
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readmeHasEveryText() {
        const QString text = readme();
        QVERIFY(!text.isEmpty());
        for (const ProgramHelp* help : {&selvanorHelp(), &cardpushHelp()}) {
            QVERIFY2(text.contains(indented(help->overview)), qPrintable(help->program));
            for (const CommandHelp& c : help->commands)
                QVERIFY2(text.contains(indented(c.text)), qPrintable(c.name));
        }
    }

    void programsAnswer_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // "" for the whole text
        QTest::newRow("selvanor --help") << "selvanor" << QStringList{"--help"} << 0 << "";
        QTest::newRow("selvanor -h") << "selvanor" << QStringList{"-h"} << 0 << "";
        QTest::newRow("selvanor help") << "selvanor" << QStringList{"help"} << 0 << "";
        QTest::newRow("help collect")
            << "selvanor" << QStringList{"help", "collect"} << 0 << "collect";
        QTest::newRow("import --help after --folder")
            << "selvanor" << QStringList{"--folder", "/nonexistent", "import", "--help"} << 0
            << "import";
        QTest::newRow("bells -h among options")
            << "selvanor" << QStringList{"bells", "--terminal", "X", "-h"} << 0 << "bells";
        QTest::newRow("help of no command")
            << "selvanor" << QStringList{"help", "nothing"} << 2 << "-";
        QTest::newRow("cardpush --help") << "cardpush" << QStringList{"--help"} << 0 << "";
        QTest::newRow("cardpush remove --help")
            << "cardpush" << QStringList{"remove", "--help"} << 0 << "remove";
    }
    void programsAnswer() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expected);
        QProcess p;
        p.start(qEnvironmentVariable("SELVANO_BIN_DIR") + QLatin1Char('/') + program, arguments);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), status);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const ProgramHelp& help =
            program == QLatin1String("selvanor") ? selvanorHelp() : cardpushHelp();
        if (expected == QLatin1String("-"))
            QVERIFY(out.isEmpty() && !p.readAllStandardError().isEmpty());
        else if (expected.isEmpty())
            QCOMPARE(out, help.fullText());
        else
            QCOMPARE(out, help.command(expected)->text);
    }
};

QTEST_GUILESS_MAIN(TestHelp)
#include "test_help.moc"
