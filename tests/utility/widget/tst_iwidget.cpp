#include "utility/widget/iwidget.h"
#include "utility/widget/widgetdragmove.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// A subclass that only overrides the slots, as the video tiles do.
class CountingWidget : public IWidget
{
public:
    int ins = 0;
    int outs = 0;
    int doubleClicks = 0;

    void mouseIn() override { ++ins; }
    void mouseOut() override { ++outs; }
    void mouseDoubleClick() override { ++doubleClicks; }
};

void sendEnter(QWidget *widget)
{
    QEvent event(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &event);
}

void sendLeave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

// A shown 500 x 400 window with a draggable 80 x 40 box at (100, 100).
struct DragMoveFixture
{
    DragMoveFixture()
        : box(new WidgetDragMove(&window))
    {
        window.resize(500, 400);
        box->setGeometry(100, 100, 80, 40);
        window.show();
    }
    bool exposed() { return QTest::qWaitForWindowExposed(&window); }
    QWindow *handle() { return window.windowHandle(); }

    QWidget window;
    WidgetDragMove *box;
};

} // namespace

class TestIWidget : public QObject
{
    Q_OBJECT

private slots:
    void enterAndLeave();
    void doubleClick_data();
    void doubleClick();
    void realMouseReachesOverriddenSlots();
    void dragMove_data();
    void dragMove();
    void dragMoveIgnoresOtherButtons();
};

void TestIWidget::enterAndLeave()
{
    CountingWidget widget;
    QSignalSpy in(&widget, &IWidget::signal_mouseIn);
    QSignalSpy out(&widget, &IWidget::signal_mouseOut);

    // A leave with no enter before it still reports the mouse out.
    sendLeave(&widget);
    QCOMPARE(out.count(), 1);

    // Two enters without a leave between them: one mouse-in.
    sendEnter(&widget);
    sendEnter(&widget);
    QCOMPARE(in.count(), 1);
    QVERIFY(widget.isMouseInside());

    sendLeave(&widget);
    QVERIFY(!widget.isMouseInside());
    sendEnter(&widget);
    QCOMPARE(in.count(), 2);
    QCOMPARE(out.count(), 2);

    // The subclass got one call per signal without connecting anything.
    QCOMPARE(widget.ins, 2);
    QCOMPARE(widget.outs, 2);
}

void TestIWidget::doubleClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("expected");
    QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::LeftButton) << 1;
    QTest::newRow("right") << int(Qt::RightButton) << int(Qt::RightButton) << 0;
    QTest::newRow("left with right held") << int(Qt::LeftButton) << int(Qt::LeftButton | Qt::RightButton) << 0;
    QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::MiddleButton) << 0;
}

void TestIWidget::doubleClick()
{
    QFETCH(int, button);
    QFETCH(int, held);
    QFETCH(int, expected);

    CountingWidget widget;
    QSignalSpy spy(&widget, &IWidget::signal_mouseDoubleClick);
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::MouseButton(button),
                      Qt::MouseButtons(held), Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
    QCOMPARE(spy.count(), expected);
    QCOMPARE(widget.doubleClicks, expected);
}

void TestIWidget::realMouseReachesOverriddenSlots()
{
    QWidget window;
    window.resize(300, 200);
    CountingWidget *tile = new CountingWidget;
    tile->setParent(&window);
    tile->setGeometry(100, 50, 100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseMove(window.windowHandle(), QPoint(20, 20));
    QTest::mouseMove(window.windowHandle(), QPoint(150, 100));
    QTRY_COMPARE(tile->ins, 1);
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    QCOMPARE(tile->doubleClicks, 1);
    QTest::mouseMove(window.windowHandle(), QPoint(20, 20));
    QTRY_COMPARE(tile->outs, 1);
}

void TestIWidget::dragMove_data()
{
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("inside") << QPoint(40, 30) << QPoint(140, 130);
    QTest::newRow("past the top snaps back to it") << QPoint(-20, -180) << QPoint(80, 0);
    QTest::newRow("past the bottom stays where dropped") << QPoint(10, 300) << QPoint(110, 400);
}

void TestIWidget::dragMove()
{
    QFETCH(QPoint, offset);
    QFETCH(QPoint, expected);

    DragMoveFixture fixture;
    QVERIFY(fixture.exposed());
    WidgetDragMove *box = fixture.box;

    const QPoint from(120, 110);
    QTest::mousePress(fixture.handle(), Qt::LeftButton, Qt::NoModifier, from);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(fixture.handle(), from + offset * i / steps);
    QCOMPARE(box->pos(), QPoint(100, 100) + offset);
    QTest::mouseRelease(fixture.handle(), Qt::LeftButton, Qt::NoModifier, from + offset);
    QCOMPARE(box->pos(), expected);
}

void TestIWidget::dragMoveIgnoresOtherButtons()
{
    DragMoveFixture fixture;
    QVERIFY(fixture.exposed());
    WidgetDragMove *box = fixture.box;

    QTest::mousePress(fixture.handle(), Qt::RightButton, Qt::NoModifier, QPoint(120, 110));
    QTest::mouseMove(fixture.handle(), QPoint(200, 200));
    QTest::mouseRelease(fixture.handle(), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
    QCOMPARE(box->pos(), QPoint(100, 100));
}

QTEST_MAIN(TestIWidget)
#include "tst_iwidget.moc"
