#include "utility/widget/afterfirstpaint.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>

namespace {

// Counts its paints, so a test can tell what ran before the first.
class PaintCounter : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

} // namespace

class TestAfterFirstPaint : public QObject
{
    Q_OBJECT

private slots:
    void runsOnceAfterTheFirstPaint();
    void runsAtOnceWhenHiddenOrDestroyedFirst_data();
    void runsAtOnceWhenHiddenOrDestroyedFirst();
};

void TestAfterFirstPaint::runsOnceAfterTheFirstPaint()
{
    PaintCounter window;
    int runs = 0;
    int paintsBeforeRun = -1;
    AfterFirstPaint::run(&window, [&] {
        ++runs;
        paintsBeforeRun = window.paints;
    });
    window.show();
    QCOMPARE(runs, 0);
    QTRY_COMPARE(runs, 1);
    QVERIFY(paintsBeforeRun >= 1);
    // Later paints, a hide and the end of the window run nothing more.
    window.update();
    QTRY_VERIFY(window.paints > paintsBeforeRun);
    window.hide();
    QCoreApplication::processEvents();
    QCOMPARE(runs, 1);
}

void TestAfterFirstPaint::runsAtOnceWhenHiddenOrDestroyedFirst_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("hidden") << false;
    QTest::newRow("destroyed") << true;
}

// Whatever follows the window (the next window, the program's end) finds
// the task done, though the window never painted.
void TestAfterFirstPaint::runsAtOnceWhenHiddenOrDestroyedFirst()
{
    QFETCH(bool, destroy);
    auto *window = new PaintCounter;
    int runs = 0;
    AfterFirstPaint::run(window, [&runs] { ++runs; });
    window->show();
    const int paints = window->paints;
    if (destroy)
        delete window;
    else
        window->hide();
    QCOMPARE(runs, 1);
    if (!destroy) {
        QCOMPARE(window->paints, paints);
        delete window;
    }
    QCoreApplication::processEvents();
    QCOMPARE(runs, 1);
}

QTEST_MAIN(TestAfterFirstPaint)

#include "tst_afterfirstpaint.moc"
