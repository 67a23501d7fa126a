#include "utility/widget/promptmessagewidget.h"

#include "scopedtimescale.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

class TestPromptMessageWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void centresOnParent();
    void twoToastsOverlap();
    void closesItselfAfterItsTime_data();
    void closesItselfAfterItsTime();
    void countdownNeverGoesNegative();
    void countdownTicksEverySecond();
    void longTextIsElidedButStripGrows();
    void lookOfTheStrip();

private:
    promptMessageWidget *onlyToast() const;

    QWidget *m_parent = nullptr;
};

void TestPromptMessageWidget::init()
{
    m_parent = new QWidget;
    m_parent->resize(400, 300);
    m_parent->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_parent));
}

void TestPromptMessageWidget::cleanup()
{
    delete m_parent;
    m_parent = nullptr;
}

promptMessageWidget *TestPromptMessageWidget::onlyToast() const
{
    const QList<promptMessageWidget *> toasts = m_parent->findChildren<promptMessageWidget *>();
    return toasts.size() == 1 ? toasts.first() : nullptr;
}

void TestPromptMessageWidget::centresOnParent()
{
    showPromptMessage(QStringLiteral("Saved"), m_parent, 2, false);
    promptMessageWidget *toast = onlyToast();
    QVERIFY(toast);
    QVERIFY(toast->isVisible());
    QVERIFY(!toast->isWindow());
    QCOMPARE(toast->size(), QSize(280, 60));
    QCOMPARE(toast->pos(), QPoint((400 - 280) / 2, (300 - 60) / 2));
    QCOMPARE(toast->shownText(), QStringLiteral("Saved"));
}

void TestPromptMessageWidget::twoToastsOverlap()
{
    showPromptMessage(QStringLiteral("first"), m_parent, 2, false);
    showPromptMessage(QStringLiteral("second"), m_parent, 2, false);
    const QList<promptMessageWidget *> toasts = m_parent->findChildren<promptMessageWidget *>();
    QCOMPARE(toasts.size(), 2);
    QCOMPARE(toasts.at(0)->geometry(), toasts.at(1)->geometry());
}

void TestPromptMessageWidget::closesItselfAfterItsTime_data()
{
    QTest::addColumn<int>("seconds");
    QTest::newRow("zero: at the next pass of the event loop") << 0;
    QTest::newRow("negative taken as zero") << -3;
    QTest::newRow("one second") << 1;
}

void TestPromptMessageWidget::closesItselfAfterItsTime()
{
    QFETCH(int, seconds);

    // A toast second lasts 100 ms here.
    ScopedTimeScale fast(0.1);
    QElapsedTimer clock;
    clock.start();
    showPromptMessage(QStringLiteral("bye"), m_parent, seconds, true);
    QPointer<promptMessageWidget> toast = onlyToast();
    QVERIFY(toast);
    QSignalSpy destroyed(toast.data(), &QObject::destroyed);
    QVERIFY(destroyed.wait(qMax(0, seconds) * 100 + 10000));
    QVERIFY(toast.isNull());
    QVERIFY(clock.elapsed() >= qMax(0, seconds) * 100 - 5);
}

void TestPromptMessageWidget::countdownNeverGoesNegative()
{
    promptMessageWidget toast(QStringLiteral("Class starts"), m_parent, 3, true);
    QCOMPARE(toast.shownText(), QStringLiteral("Class starts (3)"));
    const QStringList expected = { QStringLiteral("Class starts (2)"), QStringLiteral("Class starts (1)"),
                                   QStringLiteral("Class starts (0)"), QStringLiteral("Class starts (0)"),
                                   QStringLiteral("Class starts (0)") };
    for (const QString &text : expected) {
        toast.slot_countdown();
        QCOMPARE(toast.shownText(), text);
    }

    // Without the countdown the text never changes.
    promptMessageWidget plain(QStringLiteral("Saved"), m_parent, 3, false);
    plain.slot_countdown();
    QCOMPARE(plain.shownText(), QStringLiteral("Saved"));
}

void TestPromptMessageWidget::countdownTicksEverySecond()
{
    // A toast second lasts 100 ms here; thirty of them are long enough that
    // a busy machine cannot skip past the first tick.
    ScopedTimeScale fast(0.1);
    QElapsedTimer clock;
    clock.start();
    promptMessageWidget toast(QStringLiteral("wait"), m_parent, 30, true);
    QLabel *label = toast.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("wait (30)"));
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("wait (29)"), 10000);
    QVERIFY(clock.elapsed() >= 95);
}

void TestPromptMessageWidget::longTextIsElidedButStripGrows()
{
    const QString text = QStringLiteral("The class resources could not be downloaded, please check the network and try again");
    showPromptMessage(text, m_parent, 2, false);
    promptMessageWidget *toast = onlyToast();
    QVERIFY(toast);
    QLabel *label = toast->findChild<QLabel *>(QStringLiteral("label"));
    const QFontMetrics metrics(label->font());

    QVERIFY(toast->shownText().endsWith(QChar(0x2026)));
    QVERIFY(metrics.horizontalAdvance(toast->shownText()) <= 200);
    QCOMPARE(toast->width(), metrics.horizontalAdvance(text) + 20);
    QCOMPARE(toast->height(), 60);
    QCOMPARE(toast->x(), (400 - toast->width()) / 2);
}

void TestPromptMessageWidget::lookOfTheStrip()
{
    showPromptMessage(QStringLiteral("x"), m_parent, 2, false);
    promptMessageWidget *toast = onlyToast();
    QVERIFY(toast);
    // A dark strip: rgba(51, 51, 51, 0.8) over nothing, inside the border.
    const QImage image = toast->grab().toImage();
    const QColor left(image.pixel(20, 30));
    QVERIFY2(left.red() < 80 && left.green() < 80 && left.blue() < 80, qPrintable(left.name()));
    QCOMPARE(toast->findChild<QLabel *>(QStringLiteral("label"))->font().pixelSize(), 12);
}

QTEST_MAIN(TestPromptMessageWidget)
#include "tst_promptmessagewidget.moc"
