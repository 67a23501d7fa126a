#include "utility/widget/basemainwidget.h"
#include "utility/widget/frameless.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QRegularExpression>
#include <QTest>

namespace {

// A window that records what reaches its own mouse handlers.
class TestWindow : public BaseMainWidget
{
public:
    TestWindow()
    {
        // A child that lets presses through, as most of a window's content does.
        QVBoxLayout *layout = new QVBoxLayout(this);
        layout->setContentsMargins(20, 20, 20, 20);
        layout->addWidget(new QLabel(QStringLiteral("content"), this));
    }

    int ownMousePresses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++ownMousePresses;
        BaseMainWidget::mousePressEvent(event);
    }
};

const QRect kStart(100, 100, 300, 200);

} // namespace

class TestBaseMainWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void frameless();
    void hoverCursor_data();
    void hoverCursor();
    void maximisedWindowShowsNoResizeCursor();
    void dragInsideMoves();
    void moveStaysPartlyOnScreen_data();
    void moveStaysPartlyOnScreen();
    void dragEdgeResizes_data();
    void dragEdgeResizes();
    void resizeStopsAtMinimumSize_data();
    void resizeStopsAtMinimumSize();
    void notResizable();
    void rightButtonDoesNothing();
    void closeEmitsSignalOnce();
    void deletingEveryTopLevelWidget_data();
    void deletingEveryTopLevelWidget();

private:
    QWindow *handle() const { return m_window->windowHandle(); }
    // Mouse events go to the window handle in its own coordinates; the
    // window may have moved since the last one.
    QPoint local(const QPoint &global) const { return global - m_window->geometry().topLeft(); }
    void press(const QPoint &global, Qt::MouseButton button = Qt::LeftButton);
    void moveTo(const QPoint &global);
    void release(const QPoint &global, Qt::MouseButton button = Qt::LeftButton);
    void drag(const QPoint &from, const QPoint &to);

    TestWindow *m_window = nullptr;
};

void TestBaseMainWidget::init()
{
    m_window = new TestWindow;
    m_window->setMinimumSize(120, 90);
    m_window->setGeometry(kStart);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCOMPARE(m_window->frameGeometry(), kStart);
}

void TestBaseMainWidget::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestBaseMainWidget::press(const QPoint &global, Qt::MouseButton button)
{
    QTest::mousePress(handle(), button, Qt::NoModifier, local(global));
}

void TestBaseMainWidget::moveTo(const QPoint &global)
{
    QTest::mouseMove(handle(), local(global));
}

void TestBaseMainWidget::release(const QPoint &global, Qt::MouseButton button)
{
    QTest::mouseRelease(handle(), button, Qt::NoModifier, local(global));
}

// Small steps, so every event lands inside the window as a real drag would.
void TestBaseMainWidget::drag(const QPoint &from, const QPoint &to)
{
    press(from);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i)
        moveTo(from + (to - from) * i / steps);
    release(to);
}

void TestBaseMainWidget::frameless()
{
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_window->testAttribute(Qt::WA_Hover));
    QVERIFY(m_window->hasMouseTracking());
    QVERIFY(m_window->autoFillBackground());
    QVERIFY(!m_window->windowIcon().isNull());
}

void TestBaseMainWidget::hoverCursor_data()
{
    QTest::addColumn<QPoint>("pos"); // in the window
    QTest::addColumn<int>("cursor"); // -1: unset (a window's unset cursor is the arrow)

    const int right = kStart.width() - 1;
    const int bottom = kStart.height() - 1;
    QTest::newRow("right edge") << QPoint(right - 3, 100) << int(Qt::SizeHorCursor);
    QTest::newRow("left edge") << QPoint(3, 100) << int(Qt::SizeHorCursor);
    QTest::newRow("top edge") << QPoint(150, 3) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom edge") << QPoint(150, bottom - 3) << int(Qt::SizeVerCursor);
    QTest::newRow("top-left corner") << QPoint(3, 3) << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-right corner") << QPoint(right - 3, bottom - 3) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right corner") << QPoint(right - 3, 3) << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-left corner") << QPoint(3, bottom - 3) << int(Qt::SizeBDiagCursor);
    QTest::newRow("middle") << QPoint(150, 100) << -1;
    QTest::newRow("just inside the band") << QPoint(6, 100) << -1;
}

void TestBaseMainWidget::hoverCursor()
{
    QFETCH(QPoint, pos);
    QFETCH(int, cursor);

    QTest::mouseMove(handle(), pos);
    QCOMPARE(int(m_window->cursor().shape()), cursor < 0 ? int(Qt::ArrowCursor) : cursor);

    // Back to the middle, the cursor is unset again.
    QTest::mouseMove(handle(), QPoint(150, 100));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
}

void TestBaseMainWidget::maximisedWindowShowsNoResizeCursor()
{
    QTest::mouseMove(handle(), QPoint(3, 100));
    QCOMPARE(m_window->cursor().shape(), Qt::SizeHorCursor);

    m_window->showMaximized();
    QTRY_VERIFY(m_window->isMaximized());
    const QRect r = m_window->geometry();
    QTest::mouseMove(handle(), QPoint(r.width() - 3, r.height() / 2));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(handle(), QPoint(3, 3));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
}

void TestBaseMainWidget::dragInsideMoves()
{
    // Pressed on the label: the press passes through it to the window.
    const QPoint from = kStart.topLeft() + QPoint(150, 100);
    drag(from, from + QPoint(30, 20));
    QCOMPARE(m_window->geometry(), kStart.translated(30, 20));
    QCOMPARE(m_window->ownMousePresses, 0);

    // After the release, moving the mouse moves nothing.
    moveTo(from + QPoint(60, 60));
    QCOMPARE(m_window->geometry(), kStart.translated(30, 20));
}

void TestBaseMainWidget::moveStaysPartlyOnScreen_data()
{
    const QSize screen = QGuiApplication::primaryScreen()->virtualSize();
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("far left") << QPoint(-1000, 0) << QPoint(-(kStart.width() - 50), kStart.y());
    QTest::newRow("far up") << QPoint(0, -1000) << QPoint(kStart.x(), -(kStart.height() - 50));
    QTest::newRow("far right") << QPoint(2000, 0) << QPoint(screen.width() - 50, kStart.y());
    QTest::newRow("far down") << QPoint(0, 2000) << QPoint(kStart.x(), screen.height() - 50);
}

void TestBaseMainWidget::moveStaysPartlyOnScreen()
{
    QFETCH(QPoint, offset);
    QFETCH(QPoint, expected);

    // The grab follows the mouse wherever it goes; the window stops.
    const QPoint from = kStart.topLeft() + QPoint(150, 100);
    press(from);
    moveTo(from + offset);
    release(from + offset);
    QCOMPARE(m_window->pos(), expected);
}

void TestBaseMainWidget::dragEdgeResizes_data()
{
    QTest::addColumn<QPoint>("grip"); // in the window
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QRect>("expected");

    // The dragged sides follow the mouse to the pixel. (The top-left
    // corner is left out: the mouse would end on the window's (0, 0),
    // which the test library takes as "the middle of the window".)
    const int right = kStart.width() - 1;
    const int bottom = kStart.height() - 1;
    QTest::newRow("right edge") << QPoint(right, 100) << QPoint(40, 0)
                                << QRect(100, 100, 340, 200);
    QTest::newRow("left edge") << QPoint(0, 100) << QPoint(-40, 0)
                               << QRect(60, 100, 340, 200);
    QTest::newRow("top edge") << QPoint(150, 0) << QPoint(0, 30)
                              << QRect(100, 130, 300, 170);
    QTest::newRow("bottom edge") << QPoint(150, bottom) << QPoint(0, 30)
                                 << QRect(100, 100, 300, 230);
    QTest::newRow("bottom-right corner") << QPoint(right, bottom) << QPoint(40, 30)
                                         << QRect(100, 100, 340, 230);
    QTest::newRow("top-right corner") << QPoint(right, 0) << QPoint(-20, -10)
                                      << QRect(100, 90, 280, 210);
    QTest::newRow("bottom-left corner") << QPoint(0, bottom) << QPoint(20, -30)
                                        << QRect(120, 100, 280, 170);
    QTest::newRow("band just inside the edge") << QPoint(right - 4, 100) << QPoint(10, 0)
                                               << QRect(100, 100, 306, 200);
}

void TestBaseMainWidget::dragEdgeResizes()
{
    QFETCH(QPoint, grip);
    QFETCH(QPoint, offset);
    QFETCH(QRect, expected);

    const QPoint from = kStart.topLeft() + grip;
    drag(from, from + offset);
    QCOMPARE(m_window->geometry(), expected);
}

void TestBaseMainWidget::resizeStopsAtMinimumSize_data()
{
    QTest::addColumn<QPoint>("grip"); // in the window
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("left edge past the right one") << QPoint(0, 100) << QPoint(250, 0);
    QTest::newRow("top edge past the bottom one") << QPoint(150, 0) << QPoint(0, 180);
}

void TestBaseMainWidget::resizeStopsAtMinimumSize()
{
    QFETCH(QPoint, grip);
    QFETCH(QPoint, offset);

    // A step that would go below the minimum size keeps the dragged side
    // where it is, so the opposite side is never pushed away.
    const QPoint from = kStart.topLeft() + grip;
    drag(from, from + offset);
    QCOMPARE(m_window->geometry().bottomRight(), kStart.bottomRight());
    QVERIFY(m_window->width() >= m_window->minimumWidth());
    QVERIFY(m_window->height() >= m_window->minimumHeight());
    QVERIFY(m_window->geometry() != kStart);

    // One jump straight past the minimum changes nothing.
    const QRect before = m_window->geometry();
    const QPoint edge = grip.x() == 0 ? QPoint(before.x(), before.y() + 50) : QPoint(before.x() + 50, before.y());
    press(edge);
    moveTo(edge + offset);
    release(edge + offset);
    QCOMPARE(m_window->geometry(), before);
}

void TestBaseMainWidget::notResizable()
{
    m_window->setResizable(false);

    QTest::mouseMove(handle(), QPoint(kStart.width() - 3, 100));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);

    // A press in the band neither resizes nor moves.
    const QPoint edge = kStart.topLeft() + QPoint(kStart.width() - 2, 100);
    drag(edge, edge + QPoint(40, 0));
    QCOMPARE(m_window->geometry(), kStart);

    // A press 5 pixels inside still moves the window.
    const QPoint inside = kStart.topLeft() + QPoint(kStart.width() - 6, 100);
    drag(inside, inside + QPoint(-40, 10));
    QCOMPARE(m_window->geometry(), kStart.translated(-40, 10));
}

void TestBaseMainWidget::rightButtonDoesNothing()
{
    const QPoint from = kStart.topLeft() + QPoint(150, 100);
    press(from, Qt::RightButton);
    moveTo(from + QPoint(30, 30));
    release(from + QPoint(30, 30), Qt::RightButton);
    QCOMPARE(m_window->geometry(), kStart);

    const QPoint edge = kStart.topLeft() + QPoint(kStart.width() - 2, 100);
    press(edge, Qt::RightButton);
    moveTo(edge + QPoint(30, 0));
    release(edge + QPoint(30, 0), Qt::RightButton);
    QCOMPARE(m_window->geometry(), kStart);
    QCOMPARE(m_window->ownMousePresses, 0);
}

void TestBaseMainWidget::closeEmitsSignalOnce()
{
    QSignalSpy closed(m_window, &BaseMainWidget::signal_close);
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^BaseMainWidget closeEvent:0x[0-9a-f]+$")));
    QVERIFY(m_window->close());
    QCOMPARE(closed.count(), 1);
    QVERIFY(!m_window->isVisible());
}

void TestBaseMainWidget::deletingEveryTopLevelWidget_data()
{
    QTest::addColumn<bool>("windowFirst");
    QTest::newRow("window first") << true;
    QTest::newRow("window last") << false;
}

// A clean-up that deletes every top-level widget (as at the end of a pass of
// the main loop) must free each object once: the frame object may add no
// top-level widget of its own that the window also deletes.
void TestBaseMainWidget::deletingEveryTopLevelWidget()
{
    QFETCH(bool, windowFirst);

    // A resize drag first, so the frame object has used all it owns.
    const QPoint edge = kStart.topLeft() + QPoint(kStart.width() - 1, 100);
    drag(edge, edge + QPoint(20, 0));
    QCOMPARE(m_window->width(), kStart.width() + 20);

    QList<QWidget *> windows = QApplication::topLevelWidgets();
    QVERIFY(windows.removeOne(m_window));
    if (windowFirst)
        windows.prepend(m_window);
    else
        windows.append(m_window);
    const QPointer<TestWindow> window(m_window);
    m_window = nullptr;

    qDeleteAll(windows);
    QVERIFY(window.isNull());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(TestBaseMainWidget)
#include "tst_basemainwidget.moc"
