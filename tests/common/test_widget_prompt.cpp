// Handlers' errors and work on a worker thread: what the user sees and what is restored.

#include "scripted_prompt.h"
#include "widget_prompt.h"

#include <QApplication>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>
#include <stdexcept>

class TestWidgetPrompt : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runGuarded_data() {
        QTest::addColumn<int>("throws"); // 0 nothing, 1 std::exception, 2 anything else
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<bool>("after");
        QTest::newRow("no error") << 0 << QStringList() << true;
        QTest::newRow("error with its own text") << 1 << QStringList{"Disk dolu"} << false;
        QTest::newRow("unknown error") << 2 << QStringList{"Bilinmeyen hata."} << false;
    }
    void runGuarded() {
        QFETCH(int, throws);
        ScriptedPrompt prompt;
        bool after = false;
        ::runGuarded(prompt, [&] {
            if (throws == 1)
                throw std::runtime_error("Disk dolu");
            if (throws == 2)
                throw 42;
            after = true;
        });
        QTEST(prompt.texts(ScriptedPrompt::Kind::Error), "errors");
        QTEST(after, "after");
    }

    void runInBackground_data() {
        QTest::addColumn<bool>("fails");
        QTest::newRow("work ends") << false;
        QTest::newRow("work raises an error") << true;
    }
    void runInBackground() {
        QFETCH(bool, fails);
        ScriptedPrompt prompt;
        QWidget window;
        auto* button = new QPushButton(&window);
        QSemaphore release;
        bool done = false;
        ::runInBackground(
            &window, button, true, prompt,
            [&] {
                release.acquire();
                if (fails)
                    throw std::runtime_error("Bağlantı koptu");
            },
            [&] { done = true; });
        // While the work runs: button disabled, hourglass shown, the work counted.
        QVERIFY(!button->isEnabled());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(runningBackgroundWork(), 1);
        release.release();
        QTRY_VERIFY(done);
        QVERIFY(button->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(runningBackgroundWork(), 0);
        QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Error),
                 fails ? QStringList{"Bağlantı koptu"} : QStringList());
    }
};

QTEST_MAIN(TestWidgetPrompt)
#include "test_widget_prompt.moc"
