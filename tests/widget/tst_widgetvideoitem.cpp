// The video tiles in the student program: names without uids, the own
// tile, and tool bars that only show the speaking level.

#include "videotilestestsupport.h"

#include "utility/translatelanguage.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetvolumechange.h"

#include <QPushButton>
#include <QTest>

using namespace VideoTilesTestSupport;

class TestWidgetVideoItem : public QObject
{
    Q_OBJECT

private slots:
    void labelsWithoutUids();
    void hoverShowsOnlyTheLevel();
    void volumeReachesTheIndicator();
};

void TestWidgetVideoItem::labelsWithoutUids()
{
    QWidget page;
    UserList roster;
    fillClass(roster, 2);
    WidgetVideoItemList tiles;
    tiles.createItems(&roster, &page);
    QCOMPARE(tiles.getWidgetByIdx(0)->nickName(), QStringLiteral("Tess"));
    QCOMPARE(tiles.getWidgetByIdx(1)->nickName(), QStringLiteral("Ann"));
    // The student's interface is in Chinese.
    QCOMPARE(tiles.getWidgetByIdx(2)->nickName(), Translatelanguage::instance()->getText(QStringLiteral("Me")));
    QVERIFY(tiles.getWidgetByIdx(2)->nickName() != QLatin1String("Me"));
    QCOMPARE(tiles.getCurUserWidget()->getUserInfo().uid, QStringLiteral("1235"));
}

void TestWidgetVideoItem::hoverShowsOnlyTheLevel()
{
    QWidget page;
    WidgetVideoItemS tile(&page);
    tile.setUserInfo(person(QStringLiteral("Ann"), QStringLiteral("1234"), 1));
    tile.setStateFlag(true);
    tile.mouseIn();
    QVERIFY(!tile.findChild<QWidget *>(QStringLiteral("widget_bg"))->isHidden());
    QVERIFY(tile.findChild<QWidget *>(QStringLiteral("btnZoom"))->isHidden());
    QVERIFY(!tile.findChild<QPushButton *>(QStringLiteral("btnAudio"))->isEnabled());
}

void TestWidgetVideoItem::volumeReachesTheIndicator()
{
    QWidget page;
    WidgetVideoItemS tile(&page);
    tile.setVolume(200);
    QCOMPARE(tile.findChild<WidgetVolumeChange *>(QStringLiteral("widget_bg"))->level(), 200);
}

QTEST_MAIN(TestWidgetVideoItem)
#include "tst_widgetvideoitem.moc"
