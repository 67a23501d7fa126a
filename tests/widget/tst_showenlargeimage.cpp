#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

#include "widget/showchatimage.h"
#include "widget/showenlargeimage.h"

namespace {

QString writePicture(const QTemporaryDir &dir, const QString &name, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

void wheel(QWidget *widget, int delta)
{
    QWheelEvent event(QPointF(10, 10), widget->mapToGlobal(QPoint(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

// The enlarged chat picture: its first fit, the zoom limits through the
// buttons and the wheel, and closing on a mouse release.
class TestShowEnlargeImage : public QObject
{
    Q_OBJECT

private slots:
    void fitFactor_data();
    void fitFactor();
    void zoomStopsAtLimits_data();
    void zoomStopsAtLimits();
    void bigPictureZoomIsBounded();
    void unreadablePathStillOpensAndCloses();
    void releaseClosesButZoomButtonsOnlyZoom();

private:
    QTemporaryDir m_dir;
};

void TestShowEnlargeImage::fitFactor_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("wide") << QSize(2000, 1000) << 0.365 << QSize(730, 365);
    QTest::newRow("small") << QSize(400, 300) << 1.0 << QSize(400, 300);
    QTest::newRow("as wide as the window") << QSize(730, 100) << 1.0 << QSize(730, 100);
}

void TestShowEnlargeImage::fitFactor()
{
    QFETCH(QSize, picture);
    QFETCH(double, factor);
    QFETCH(QSize, shown);
    ShowEnlargeImage view;
    QCOMPARE(view.size(), QSize(730, 550));
    view.showImage(writePicture(m_dir, QStringLiteral("fit.png"), picture));
    QCOMPARE(view.zoomFactor(), factor);
    QCOMPARE(view.shownSize(), shown);
    // No width: nothing to divide by.
    QCOMPARE(ShowEnlargeImage::fitFactor(0, 730), 1.0);
    QCOMPARE(ShowEnlargeImage::fitFactor(-5, 730), 1.0);
}

void TestShowEnlargeImage::zoomStopsAtLimits_data()
{
    QTest::addColumn<bool>("useWheel");
    QTest::newRow("buttons") << false;
    QTest::newRow("wheel") << true;
}

void TestShowEnlargeImage::zoomStopsAtLimits()
{
    QFETCH(bool, useWheel);
    ShowEnlargeImage view;
    view.showImage(writePicture(m_dir, QStringLiteral("zoom.png"), QSize(100, 50)));
    const auto step = [&](bool in) {
        if (useWheel)
            wheel(&view, in ? 120 : -120);
        else
            view.findChild<QPushButton *>(in ? QStringLiteral("btnZoomIn") : QStringLiteral("btnZoomOut"))->click();
    };
    for (int i = 0; i < 30; ++i)
        step(true);
    QCOMPARE(view.zoomFactor(), 4.0);
    QCOMPARE(view.shownSize(), QSize(400, 200));
    for (int i = 0; i < 30; ++i)
        step(false);
    QVERIFY(qAbs(view.zoomFactor() - 0.2) < 1e-9);
    QCOMPARE(view.shownSize(), QSize(20, 10));
    // A delta of zero zooms out.
    if (useWheel) {
        step(true);
        wheel(&view, 0);
        QVERIFY(qAbs(view.zoomFactor() - 0.2) < 1e-9);
    }
}

// Zooming a big picture never makes a copy larger than the shown-pixel
// cap: the factor stops where the cap is reached.
void TestShowEnlargeImage::bigPictureZoomIsBounded()
{
    const QSize big(4000, 3000); // 12 million pixels: the cap is at about 1.44
    const double cap = std::sqrt(double(ShowEnlargeImage::kMaxShownPixels) / (4000.0 * 3000.0));
    QCOMPARE(ShowEnlargeImage::steppedFactor(1.0, true, big), 1.2);
    QCOMPARE(ShowEnlargeImage::steppedFactor(1.4, true, big), cap);
    QCOMPARE(ShowEnlargeImage::steppedFactor(cap, true, big), cap);
    QCOMPARE(ShowEnlargeImage::steppedFactor(cap, false, big), cap - 0.2);
    QCOMPARE(ShowEnlargeImage::steppedFactor(3.9, true, QSize(10, 10)), 4.0);
    // A picture without pixels zooms by the plain steps and never divides by zero.
    QCOMPARE(ShowEnlargeImage::steppedFactor(1.0, true, QSize(0, 0)), 1.2);
}

void TestShowEnlargeImage::unreadablePathStillOpensAndCloses()
{
    QPointer<ShowEnlargeImage> view = ShowChatImage::instance()->showChatImage(QStringLiteral("http://127.0.0.1:1/x.png"));
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->shownSize(), QSize());
    view->on_btnZoomIn_clicked();
    QCOMPARE(view->shownSize(), QSize());
    view->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    QTRY_VERIFY(!view);
}

// A click on the picture or the panel closes the window (each view
// deletes itself); a click on a zoom button only zooms.
void TestShowEnlargeImage::releaseClosesButZoomButtonsOnlyZoom()
{
    const QString path = writePicture(m_dir, QStringLiteral("click.png"), QSize(200, 100));
    QPointer<ShowEnlargeImage> first = ShowChatImage::instance()->showChatImage(path);
    QPointer<ShowEnlargeImage> second = ShowChatImage::instance()->showChatImage(path);
    QVERIFY(first && second && first != second);
    QVERIFY(first->windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("btnZoomIn")), Qt::LeftButton);
    QVERIFY(first);
    QCOMPARE(first->zoomFactor(), 1.2);
    QTest::mouseClick(first->findChild<QWidget *>(QStringLiteral("labelShowImage")), Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(second);
    QTest::mouseClick(second->findChild<QWidget *>(QStringLiteral("widget")), Qt::RightButton, {}, QPoint(3, 3));
    QTRY_VERIFY(!second);
}

QTEST_MAIN(TestShowEnlargeImage)
#include "tst_showenlargeimage.moc"
