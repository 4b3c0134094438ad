// The terminal's communication password never appears in what SelvanoR prints: the wire log at
// its most detailed, link errors and the collection's lines.

#include "campaign.h"
#include "collection.h"
#include "collection_fixture.h"
#include "scripted_prompt.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QTest>

using namespace fixture;

namespace {

const QString TerminalPassword = QStringLiteral("Gizli4711");

QMutex logMutex;
QStringList logged;

void collectLog(QtMsgType, const QMessageLogContext&, const QString& text) {
    const QMutexLocker lock(&logMutex);
    logged << text;
}

// The texts in which the secret shows: as it is, and as the hex of its UTF-8 bytes (the wire
// log prints frames in hex, with or without blanks).
QStringList leaks(const QStringList& texts, const QString& secret) {
    const QString hex = QString::fromLatin1(secret.toUtf8().toHex());
    QStringList found;
    for (const QString& text : texts) {
        QString squeezed = text.toLower();
        squeezed.remove(QLatin1Char(' '));
        if (text.contains(secret) || squeezed.contains(hex))
            found << text;
    }
    return found;
}

} // namespace

class TestSecrets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanupTestCase() { campaign::report(); }

    // Log-ins with the right and a wrong password, a collection run and a link that fails,
    // all with every frame logged.
    void terminalPasswordNotLogged() {
        QJsonObject state = stateWith({record("1", "2011-03-05 08:30:05")});
        state.insert("password", TerminalPassword);
        EmulatorProcess terminal;
        EmulatorOptions options;
        options.arguments = QStringList{"--silent", "get_device_data:14"};
        QVERIFY(terminal.start(state, options));
        QLoggingCategory::setFilterRules(QStringLiteral("selvano.device.wire=true"));
        const QtMessageHandler previous = qInstallMessageHandler(collectLog);
        QStringList shown;
        {
            Store store;
            TerminalRecord row = store.ethernet("A", "127.0.0.1", terminal.port());
            row.password = TerminalPassword;
            DeviceSession session;
            const bool opened = session.OpenSession(row);
            ByteVector extraProperty = NewByteVector(2), extraData = NewByteVector(6);
            try {
                session.connection().GetDeviceData(14, extraProperty, session.device(), extraData);
            } catch (const DeviceError& e) {
                shown << QString::fromUtf8(e.what());
            }
            row.password = TerminalPassword + QStringLiteral("0");
            const bool wrongOpened = session.OpenSession(row);
            store.setColumn(row.id, "Sifre", TerminalPassword);
            LineCollector memo3, memo4;
            NullProgress progress;
            std::atomic<bool> runFlag{false};
            CollectionRun(store.folder(), {}).run(session, runFlag, memo3, memo4, progress);
            shown << memo3.lines() << memo4.lines();
            qInstallMessageHandler(previous);
            QLoggingCategory::setFilterRules(QString());
            QVERIFY(opened);
            QVERIFY(!wrongOpened);
        }
        const QMutexLocker lock(&logMutex);
        QVERIFY2(logged.size() > 4, "the wire log was not written");
        QCOMPARE(leaks(logged, TerminalPassword), QStringList());
        QCOMPARE(leaks(shown, TerminalPassword), QStringList());
        campaign::count(QStringLiteral("terminal password looked for in the wire log and messages"),
                        QStringLiteral("%1 log lines, %2 messages, no password")
                            .arg(logged.size())
                            .arg(shown.size()));
    }
};

QTEST_GUILESS_MAIN(TestSecrets)
#include "test_secrets.moc"
