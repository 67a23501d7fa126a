// The video tiles in the teacher program: one per roster entry in roster
// order, their labels, the hover tool bar, the notices and the look-ups.

#include "messagecatcher.h"
#include "videotilestestsupport.h"

#include "widget/widgetvideo.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetvideoitemt.h"
#include "widget/widgetvideotoolstudentrole.h"

#include <QCloseEvent>
#include <QTest>

using namespace VideoTilesTestSupport;

class TestWidgetVideoItemTeacher : public QObject
{
    Q_OBJECT

private slots:
    void onePerEntryInOrder();
    void unknownRoleKeepsTheIndices();
    void emptyRoster();
    void lookUpsThatMiss();
    void hoverShowsToolsOnlyInChannel();
    void praiseCount_data();
    void praiseCount();
    void hidingAStudentOnThisScreen();
    void newTilesAreGrey();
    void nonNumericUidIsNotBound();

private:
    QWidget m_page;
};

void TestWidgetVideoItemTeacher::onePerEntryInOrder()
{
    UserList roster;
    fillClass(roster, 0);
    WidgetVideoItemList tiles;
    tiles.createItems(&roster, &m_page);
    QCOMPARE(tiles.count(), 3);
    QVERIFY(qobject_cast<WidgetVideoItemT *>(tiles.getWidgetByIdx(0)));
    QVERIFY(qobject_cast<WidgetVideoItemS *>(tiles.getWidgetByIdx(1)));
    QCOMPARE(tiles.getWidgetByIdx(2)->getUserInfo().uid, QStringLiteral("1235"));
    QCOMPARE(tiles.getTeacherWidget(), tiles.getWidgetByIdx(0));
    QCOMPARE(tiles.getCurUserWidget(), tiles.getWidgetByIdx(0));
    QCOMPARE(tiles.getWidgetByUid(QStringLiteral("1234")), tiles.getWidgetByIdx(1));
    // The teacher tells students apart by their uids; the own tile is "Me".
    QCOMPARE(tiles.getWidgetByIdx(1)->nickName(), QStringLiteral("Ann-1234"));
    QCOMPARE(tiles.getWidgetByIdx(0)->nickName(), QStringLiteral("Me"));
    // The teacher's tile has no praise counter.
    QVERIFY(tiles.getWidgetByIdx(0)->findChild<QWidget *>(QStringLiteral("widgetPraise"))->isHidden());
    QVERIFY(!tiles.getWidgetByIdx(1)->findChild<QWidget *>(QStringLiteral("widgetPraise"))->isHidden());
    tiles.showStudentItems(false);
    QVERIFY(tiles.getWidgetByIdx(1)->isHidden());
    QVERIFY(!tiles.getWidgetByIdx(0)->isHidden());
    qDeleteAll(m_page.findChildren<WidgetVideoItem *>(QString(), Qt::FindDirectChildrenOnly));
}

void TestWidgetVideoItemTeacher::unknownRoleKeepsTheIndices()
{
    MessageCatcher log;
    UserList roster;
    fillClass(roster, 0);
    UserInfo odd = person(QStringLiteral("Odd"), QStringLiteral("77"), 5);
    UserList mixed;
    mixed.addUser(roster.getUserInfoByIdx(0));
    mixed.addUser(odd);
    mixed.addUser(roster.getUserInfoByIdx(1));
    mixed.setTeacherIdx(0);
    mixed.setCurUserIdx(0);
    WidgetVideoItemList tiles;
    tiles.createItems(&mixed, &m_page);
    // A tile of the student kind, so tile i stays entry i.
    QCOMPARE(tiles.count(), 3);
    QVERIFY(qobject_cast<WidgetVideoItemS *>(tiles.getWidgetByIdx(1)));
    QCOMPARE(tiles.getWidgetByIdx(2)->getUserInfo().uid, QStringLiteral("1234"));
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("unknown role 5 of uid:77")));
    qDeleteAll(m_page.findChildren<WidgetVideoItem *>(QString(), Qt::FindDirectChildrenOnly));
}

void TestWidgetVideoItemTeacher::emptyRoster()
{
    UserList roster;
    roster.setTeacherIdx(3);
    roster.setCurUserIdx(4);
    WidgetVideoItemList tiles;
    tiles.createItems(&roster, &m_page);
    QCOMPARE(tiles.count(), 0);
    MessageCatcher log;
    QVERIFY(!tiles.getCurUserWidget());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("curUserIdx is incorrect, you may not initialized. curUserIdx:")));
}

void TestWidgetVideoItemTeacher::lookUpsThatMiss()
{
    MessageCatcher log;
    WidgetVideoItemList tiles;
    QVERIFY(!tiles.getCurUserWidget());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("curUserIdx is incorrect, you may not initialized. curUserIdx:-1")));
    QVERIFY(!tiles.getTeacherWidget());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("teacherIdx is incorrect, you may not initialized. teacheIdx:-1")));
    QVERIFY(!tiles.getWidgetByIdx(-1));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("idx is incorrect. idx:-1")));
    QVERIFY(!tiles.getWidgetByUid(QStringLiteral("5")));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("not found WidgetVideoItem, uid:5")));
}

void TestWidgetVideoItemTeacher::hoverShowsToolsOnlyInChannel()
{
    WidgetVideoItemS tile(&m_page);
    tile.setUserInfo(person(QStringLiteral("Ann"), QStringLiteral("1234"), 1));
    auto *draw = tile.findChild<QWidget *>(QStringLiteral("btnDraw"));
    tile.mouseIn();
    QVERIFY(draw->isHidden());
    tile.setStateFlag(true);
    tile.mouseIn();
    QVERIFY(!draw->isHidden());
    tile.mouseOut();
    QVERIFY(draw->isHidden());
    QCloseEvent close;
    QApplication::sendEvent(&tile, &close);
    QVERIFY(!tile.stateFlag());
    tile.mouseIn();
    QVERIFY(draw->isHidden());
}

void TestWidgetVideoItemTeacher::praiseCount_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << QStringLiteral("x0");
    QTest::newRow("twelve") << 12 << QStringLiteral("x12");
}

void TestWidgetVideoItemTeacher::praiseCount()
{
    QFETCH(int, count);
    QFETCH(QString, text);
    WidgetVideoItemS tile(&m_page);
    UserInfo ann = person(QStringLiteral("Ann"), QStringLiteral("1234"), 1);
    ann.likeNum = count;
    tile.setUserInfo(ann);
    QCOMPARE(tile.praiseText(), text);
}

void TestWidgetVideoItemTeacher::hidingAStudentOnThisScreen()
{
    WidgetVideoItemS tile(&m_page);
    tile.setUserInfo(person(QStringLiteral("Ann"), QStringLiteral("1234"), 1));
    tile.slot_setEnableVideo(false);
    QCOMPARE(tile.alertText(), QStringLiteral("Ann's video is hidden"));
    QVERIFY(tile.isVideoMuted());
    tile.slot_setEnableVideo(true);
    QCOMPARE(tile.alertText(), QString());
    QVERIFY(!tile.isVideoMuted());
}

void TestWidgetVideoItemTeacher::newTilesAreGrey()
{
    WidgetVideoItemS student(&m_page);
    WidgetVideoItemT teacher(&m_page);
    QVERIFY(student.isVideoMuted());
    QVERIFY(student.findChild<WidgetVideo *>(QStringLiteral("videoWidget"))->isVideoMuted());
    QCOMPARE(student.alertText(), QStringLiteral("not coming yet..."));
    QCOMPARE(teacher.alertText(), QStringLiteral("Loading the camera..."));
}

void TestWidgetVideoItemTeacher::nonNumericUidIsNotBound()
{
    MessageCatcher log;
    WidgetVideoItemS tile(&m_page);
    tile.setUserInfo(person(QStringLiteral("Eve"), QStringLiteral("abc"), 1));
    QVERIFY(!tile.restoreVideoView());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("uid is not a number, not bound: \"abc\"")));
}

QTEST_MAIN(TestWidgetVideoItemTeacher)
#include "tst_widgetvideoitem_teacher.moc"
