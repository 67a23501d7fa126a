// The praise effect: 72 trophy frames, the shrinking move onto the praised
// tile and the close that releases the class page, with and without a
// tile; the flower scatter's bounds; the praise chime shipped beside the
// program.
#include "scopedtimescale.h"

#include "widget/flowerscatter.h"
#include "widget/praiseeffectswidget.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

struct Page
{
    Page()
    {
        window.resize(900, 600);
        tile = new QWidget(&window);
        tile->setGeometry(20, 100, 200, 150);
        window.show();
    }
    QWidget window;
    QWidget *tile;
};

// Keeps a widget open while it lives: its close events are refused.
class KeepOpen : public QObject
{
public:
    explicit KeepOpen(QWidget *widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    ~KeepOpen() override
    {
        if (m_widget)
            m_widget->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        return true;
    }

private:
    QPointer<QWidget> m_widget;
};

QString trophyStyle(PraiseEffectsWidget *effect)
{
    return effect->trophyLabel()->styleSheet();
}

} // namespace

class TestPraiseEffectsWidget : public QObject
{
    Q_OBJECT

private slots:
    void trophyPlaysItsFramesThenStops();
    void shrinksOntoTheTargetThenCloses();
    void withoutTargetClosesInPlace_data();
    void withoutTargetClosesInPlace();
    void runsByItselfAndDeletesItself();
    void maximizedWindowEnlargesTheTrophy();
    void earlyCloseSignalsOnce();
    void pageGoingAwayDuringTheEffect();
    void flowersStayInsideTheOverlay();
    void noFlowersWithoutArea();
    void boundedRandomStaysInRange();
    void chimeIsShippedBesideTheProgram();
};

void TestPraiseEffectsWidget::trophyPlaysItsFramesThenStops()
{
    Page page;
    auto *effect = new PraiseEffectsWidget(&page.window);
    QCOMPARE(effect->frame(), 0);
    QVERIFY(trophyStyle(effect).contains(QStringLiteral("trophy_0.png")));
    QVERIFY(effect->isFrameTimerActive());
    for (int frame = 1; frame < PraiseEffectsWidget::kFrameCount; ++frame) {
        effect->slot_imageToFlash();
        QCOMPARE(trophyStyle(effect), QStringLiteral("border-image: url(:/image/trophy/trophy_%1.png);").arg(frame));
    }
    QVERIFY(effect->isFrameTimerActive());
    effect->slot_imageToFlash();
    QVERIFY(!effect->isFrameTimerActive());
    QCOMPARE(effect->frame(), 72);
    QVERIFY(trophyStyle(effect).contains(QStringLiteral("trophy_71.png")));
    // Every frame is compiled in.
    for (int frame = 0; frame < PraiseEffectsWidget::kFrameCount; ++frame)
        QVERIFY2(QFile::exists(QStringLiteral(":/image/trophy/trophy_%1.png").arg(frame)), qPrintable(QString::number(frame)));
    effect->close();
}

void TestPraiseEffectsWidget::shrinksOntoTheTargetThenCloses()
{
    Page page;
    QPointer<PraiseEffectsWidget> effect = new PraiseEffectsWidget(&page.window);
    effect->setTargetWidget(page.tile);
    effect->show();
    QSignalSpy closed(effect.data(), &PraiseEffectsWidget::signal_close);
    const QRect start = effect->trophyLabel()->geometry();
    effect->slot_moveTrophy();
    QPropertyAnimation *move = effect->moveAnimation();
    QVERIFY(move);
    QCOMPARE(move->duration(), PraiseEffectsWidget::kMoveMs);
    const int w = effect->width();
    const int h = effect->height();
    const QRect end(w - page.tile->width(), page.tile->y() + 60, w / 6, h / 6);
    QCOMPARE(move->endValue().toRect(), end);
    move->setCurrentTime(PraiseEffectsWidget::kMoveMs / 2);
    const QRect middle = effect->trophyLabel()->geometry();
    QVERIFY(middle != start && middle != end);
    QCOMPARE(closed.size(), 0);
    move->setCurrentTime(PraiseEffectsWidget::kMoveMs);
    QCOMPARE(effect->trophyLabel()->geometry(), end);
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(effect.isNull());
}

void TestPraiseEffectsWidget::withoutTargetClosesInPlace_data()
{
    QTest::addColumn<bool>("targetGoesAway");
    QTest::newRow("never given") << false;
    QTest::newRow("tile deleted before the move") << true;
}

void TestPraiseEffectsWidget::withoutTargetClosesInPlace()
{
    QFETCH(bool, targetGoesAway);
    Page page;
    QPointer<PraiseEffectsWidget> effect = new PraiseEffectsWidget(&page.window);
    if (targetGoesAway) {
        effect->setTargetWidget(page.tile);
        delete page.tile;
    }
    effect->show();
    QSignalSpy closed(effect.data(), &PraiseEffectsWidget::signal_close);
    const QRect start = effect->trophyLabel()->geometry();
    effect->slot_moveTrophy();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!effect->moveAnimation());
    QCOMPARE(effect->trophyLabel()->geometry(), start);
    QTRY_VERIFY(effect.isNull());
}

void TestPraiseEffectsWidget::runsByItselfAndDeletesItself()
{
    ScopedTimeScale fast(0.05);
    Page page;
    QPointer<PraiseEffectsWidget> effect = new PraiseEffectsWidget(&page.window);
    effect->setTargetWidget(page.tile);
    effect->show();
    QSignalSpy closed(effect.data(), &PraiseEffectsWidget::signal_close);
    QVERIFY(closed.wait(10000));
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(effect.isNull());
}

void TestPraiseEffectsWidget::maximizedWindowEnlargesTheTrophy()
{
    QWidget window;
    window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    auto *effect = new PraiseEffectsWidget(&window);
    QCOMPARE(effect->trophyLabel()->size(), QSize(540, 463));
    effect->close();

    QWidget normal;
    normal.resize(800, 600);
    normal.show();
    effect = new PraiseEffectsWidget(&normal);
    QCOMPARE(effect->trophyLabel()->size(), QSize(450, 386));
    QCOMPARE(effect->trophyLabel()->pos(), QPoint((-450 * 3) / 4 + 800 / 2, 600 / 2 - 386 / 3));
    effect->close();
}

void TestPraiseEffectsWidget::earlyCloseSignalsOnce()
{
    Page page;
    QPointer<PraiseEffectsWidget> effect = new PraiseEffectsWidget(&page.window);
    effect->setTargetWidget(page.tile);
    effect->show();
    QSignalSpy closed(effect.data(), &PraiseEffectsWidget::signal_close);
    effect->slot_moveTrophy();
    effect->close();
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(effect.isNull());
}

void TestPraiseEffectsWidget::pageGoingAwayDuringTheEffect()
{
    ScopedTimeScale fast(0.05);
    auto page = std::make_unique<Page>();
    QPointer<PraiseEffectsWidget> effect = new PraiseEffectsWidget(&page->window);
    effect->setTargetWidget(page->tile);
    effect->show();
    effect->slot_moveTrophy();
    page.reset();
    QVERIFY(effect.isNull());
    // Nothing of the effect is left to fire.
    QCoreApplication::processEvents();
}

void TestPraiseEffectsWidget::flowersStayInsideTheOverlay()
{
    ScopedTimeScale fast(0.05);
    Page page;
    auto *effect = new PraiseEffectsWidget(&page.window);
    effect->setTargetWidget(page.tile);
    // The effect would end by itself while the flowers fly.
    auto keepOpen = std::make_unique<KeepOpen>(effect);
    FlowerScatter *flowers = effect->flowerScatter();
    const QSize area = effect->size();
    effect->slot_scatterFlowers();
    QVERIFY(flowers->created() >= 5);
    QTRY_COMPARE(flowers->created(), 200);
    for (QLabel *flower : flowers->flowers()) {
        auto *flight = flower->findChild<QPropertyAnimation *>();
        QVERIFY(flight);
        const QRect from = flight->startValue().toRect();
        const QRect to = flight->endValue().toRect();
        QCOMPARE(from.topLeft(), QPoint(area.width() / 2, int((area.height() / 40.0) * 19)));
        QVERIFY(to.x() >= 0 && to.x() < area.width());
        QVERIFY(to.y() >= 0 && to.y() < qMax(1, area.height() / 5));
        QVERIFY(from.size() == to.size() && !to.size().isEmpty());
    }
    QTRY_COMPARE(flowers->closed(), 200);
    keepOpen.reset();
    effect->close();
}

void TestPraiseEffectsWidget::noFlowersWithoutArea()
{
    QWidget parent;
    parent.resize(0, 0);
    auto *effect = new PraiseEffectsWidget(&parent);
    effect->resize(0, 0);
    effect->slot_scatterFlowers();
    QCOMPARE(effect->flowerScatter()->created(), 0);
    effect->slot_animationFinished();
    QCOMPARE(effect->flowerScatter()->closed(), 0);
    effect->close();
}

void TestPraiseEffectsWidget::boundedRandomStaysInRange()
{
    QCOMPARE(FlowerScatter::boundedRandom(0), 0);
    QCOMPARE(FlowerScatter::boundedRandom(-5), 0);
    QCOMPARE(FlowerScatter::boundedRandom(1), 0);
    for (int i = 0; i < 1000; ++i) {
        const int value = FlowerScatter::boundedRandom(600);
        QVERIFY(value >= 0 && value < 600);
    }
    QCOMPARE(FlowerTable::count(), 14);
    for (int i = 0; i < FlowerTable::count(); ++i)
        QVERIFY(QFile::exists(QString::fromLatin1(FlowerTable::at(i).picture)));
}

void TestPraiseEffectsWidget::chimeIsShippedBesideTheProgram()
{
    Page page;
    auto *effect = new PraiseEffectsWidget(&page.window);
    const QString path = effect->getSoundEffectFile();
    effect->close();
    QCOMPARE(path, QStringLiteral(LESSONRY_BIN_DIR "/audioTest/praiseSoundEffect.wav"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(44);
    QVERIFY(header.startsWith("RIFF") && header.mid(8, 8) == "WAVEfmt ");
    QVERIFY(file.size() > 44);
}

QTEST_MAIN(TestPraiseEffectsWidget)
#include "tst_praiseeffectswidget.moc"
