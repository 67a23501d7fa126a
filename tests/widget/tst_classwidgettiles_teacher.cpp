// The tiles on the teacher's class page kept in step with the channel and
// the teacher's actions: joins and leaves, camera off, one student in the
// big video, a lesson video that takes the selection away, the audio
// buttons, the praise count with its effect, and the own tile's tool bar
// beside the camera picture's captions.

#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "videotilestestsupport.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"
#include "mgr/teachercurrentuser.h"
#include "platform/rtc/rtcengine.h"
#include "mgr/signalqueuemgr.h"
#include "widget/praiseeffectswidget.h"
#include "widget/teacherclasswidget.h"
#include "widget/widgetbigvideo.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetvideotoolstudentrole.h"

#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace VideoTilesTestSupport;

namespace {

// The teacher's page on a roster of its own, without a classroom window.
class Page : public TeacherClassWidget
{
public:
    explicit Page(QWidget *room) : TeacherClassWidget(room) {}
    void setUp(UserList *roster)
    {
        userList = roster;
        classId = QStringLiteral("10001");
        init();
        CreateVideo(*roster);
    }
    WidgetBigVideo *big() const { return bigVideo; }
    WidgetVideoItem *selected() const { return lastClickedVideoItem; }
    WidgetVideoItem *tile(const QString &uid) const { return videoItemList->findWidgetByUid(uid); }
};

QPushButton *button(WidgetVideoItem *tile, const char *name)
{
    return tile->findChild<QPushButton *>(QLatin1String(name));
}

// The white caption text of the synthetic camera's picture as a tile shows
// it: white pixels in rows of the dark band under the colour bars.
QVector<QPoint> captionPixels(const QImage &image)
{
    const auto isBand = [](QRgb c) { return qAbs(qRed(c) - 32) < 12 && qAbs(qGreen(c) - 34) < 12 && qAbs(qBlue(c) - 48) < 12; };
    const auto isWhite = [](QRgb c) { return qRed(c) > 190 && qGreen(c) > 190 && qBlue(c) > 190; };
    QVector<QPoint> text;
    for (int y = 0; y < image.height(); ++y) {
        int band = 0;
        for (int x = 0; x < image.width(); ++x)
            band += isBand(image.pixel(x, y));
        // Most of a band row is band; a row of the bars has none of it.
        if (band < image.width() / 3)
            continue;
        for (int x = 0; x < image.width(); ++x) {
            if (isWhite(image.pixel(x, y)))
                text.append(QPoint(x, y));
        }
    }
    return text;
}

} // namespace

class TestClassWidgetTilesTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void joinAndLeave();
    void cameraOff();
    void selectingAStudent();
    void selectingNobodyElse();
    void lessonVideoTakesTheSelection();
    void leaveClearsTheAudioBits();
    void praiseCountsAndShowsOneEffect();
    void pageClosedDuringTheEffect();
    void ownToolBarLeavesTheCameraCaptionsVisible();

private:
    // The praise effect's seconds in a few milliseconds.
    ScopedTimeScale m_fast{ 0.01 };
    UserList m_roster;
    QWidget *m_room = nullptr;
    Page *m_page = nullptr;
};

void TestClassWidgetTilesTeacher::initTestCase()
{
    VideoSDK::instance()->initVideoEngine();
    QVERIFY(VideoSDK::instance()->getRtcEngine());
}

void TestClassWidgetTilesTeacher::init()
{
    fillClass(m_roster, 0);
    m_room = new QWidget;
    m_room->resize(1028, 652);
    m_page = new Page(m_room);
    m_page->resize(1028, 652);
    m_page->setUp(&m_roster);
}

void TestClassWidgetTilesTeacher::cleanup()
{
    // Deleted while the engine may still be binding its views.
    delete m_room;
    m_room = nullptr;
    m_page = nullptr;
}

void TestClassWidgetTilesTeacher::joinAndLeave()
{
    WidgetVideoItem *ann = m_page->tile(QStringLiteral("1234"));
    QVERIFY(ann->isVideoMuted());
    m_page->slot_onChannelUserJoined(QStringLiteral("1234"));
    QVERIFY(ann->stateFlag());
    QVERIFY(!ann->isVideoMuted());
    QCOMPARE(ann->alertText(), QString());

    m_page->slot_onChannelUserLeaved(QStringLiteral("1234"));
    QVERIFY(!ann->stateFlag());
    QVERIFY(ann->isVideoMuted());
    QCOMPARE(ann->alertText(), QStringLiteral("Ann has left the classroom"));

    // A uid without a tile changes nothing.
    m_page->slot_onChannelUserJoined(QStringLiteral("4444"));
    m_page->slot_onChannelUserLeaved(QStringLiteral("4444"));
}

void TestClassWidgetTilesTeacher::cameraOff()
{
    WidgetVideoItem *ann = m_page->tile(QStringLiteral("1234"));
    m_page->slot_onChannelUserJoined(QStringLiteral("1234"));
    m_page->slot_UserMuteVideo(QStringLiteral("1234"), true);
    QVERIFY(ann->isVideoMuted());
    QCOMPARE(ann->alertText(), QStringLiteral("The camera is not open"));
    m_page->slot_UserMuteVideo(QStringLiteral("1234"), false);
    QVERIFY(!ann->isVideoMuted());
    QCOMPARE(ann->alertText(), QString());
}

void TestClassWidgetTilesTeacher::selectingAStudent()
{
    WidgetVideoItem *ann = m_page->tile(QStringLiteral("1234"));
    WidgetVideoItem *bob = m_page->tile(QStringLiteral("1235"));
    m_page->slot_onChannelUserJoined(QStringLiteral("1234"));
    m_page->slot_onChannelUserJoined(QStringLiteral("1235"));

    m_page->slot_switchBigVideo(ann);
    QCOMPARE(m_page->big()->getShowType(), 1);
    QCOMPARE(m_page->big()->getUserInfo().uid, QStringLiteral("1234"));
    QCOMPARE(m_page->big()->size(), QSize(300, 225));
    QCOMPARE(m_page->selected(), ann);
    QCOMPARE(ann->alertText(), QStringLiteral("Ann is on the big screen"));
    QVERIFY(ann->isVideoMuted());
    // Everyone listens to Ann: the others' buttons show them off, and
    // nobody's can be pressed meanwhile.
    QVERIFY(!button(ann, "btnAudio")->isChecked());
    QVERIFY(button(bob, "btnAudio")->isChecked());
    QVERIFY(!button(bob, "btnAudio")->isEnabled());

    // A second selection switches: Ann is back in her tile.
    m_page->slot_switchBigVideo(bob);
    QCOMPARE(m_page->big()->getUserInfo().uid, QStringLiteral("1235"));
    QCOMPARE(m_page->selected(), bob);
    QCOMPARE(ann->alertText(), QString());
    QVERIFY(!ann->isVideoMuted());
    QVERIFY(button(ann, "btnAudio")->isChecked());

    // Hiding another tile than the selected one changes nothing.
    m_page->hideSelectVideo(ann);
    QCOMPARE(m_page->selected(), bob);
    m_page->slot_switchSmallVideo(bob);
    QVERIFY(!m_page->selected());
    QCOMPARE(m_page->big()->getShowType(), 0);
    QVERIFY(button(ann, "btnAudio")->isEnabled());
    QVERIFY(!button(ann, "btnAudio")->isChecked());
}

void TestClassWidgetTilesTeacher::selectingNobodyElse()
{
    MessageCatcher log;
    m_page->slot_onChannelUserJoined(QStringLiteral("900"));
    m_page->slot_switchBigVideo(m_page->tile(QStringLiteral("900")));
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("cannot select teacher, only can select student. teacherId:900")));
    // Bob is not in the channel.
    m_page->slot_switchBigVideo(m_page->tile(QStringLiteral("1235")));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("widget is NULL, or is not joined channel.")));
    m_page->slot_switchBigVideo(nullptr);
    QVERIFY(!m_page->selected());
    QCOMPARE(m_page->big()->getShowType(), 0);
}

void TestClassWidgetTilesTeacher::lessonVideoTakesTheSelection()
{
    MessageCatcher log;
    WidgetVideoItem *ann = m_page->tile(QStringLiteral("1234"));
    m_page->slot_onChannelUserJoined(QStringLiteral("1234"));
    m_page->slot_switchBigVideo(ann);
    QCOMPARE(m_page->selected(), ann);

    SignalQueueMgr::instance()->signalplayingVideo(true);
    QVERIFY(!m_page->selected());
    QCOMPARE(m_page->big()->getShowType(), 0);
    QVERIFY(!button(ann, "btnZoom")->isEnabled());
    QVERIFY(!button(ann, "btnAudio")->isEnabled());
    // While it plays the page refuses to select.
    m_page->slot_switchBigVideo(ann);
    QVERIFY(!m_page->selected());
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("is playing video, can not select some one. inPlayingVideo:1")));

    SignalQueueMgr::instance()->signalplayingVideo(false);
    QVERIFY(button(ann, "btnZoom")->isEnabled());
    QVERIFY(button(ann, "btnAudio")->isEnabled());
}

void TestClassWidgetTilesTeacher::leaveClearsTheAudioBits()
{
    for (const QString &uid : { QStringLiteral("1234"), QStringLiteral("1235") }) {
        m_page->slot_onChannelUserJoined(uid);
        m_page->slot_setEnableAudio(uid, false);
        m_page->tile(uid)->setAudioChecked(true);
    }
    m_page->slot_setEnableDraw(QStringLiteral("1234"), false);
    UserInfo ann;
    QVERIFY(m_roster.getUserInfoByUid(QStringLiteral("1234"), ann));
    QCOMPARE(ann.controlFlags, ControlTypAudio | ControlTypDraw);

    m_page->slot_onChannelUserLeaved(QStringLiteral("1235"));
    QVERIFY(m_roster.getUserInfoByUid(QStringLiteral("1234"), ann));
    // The audio bit goes for everyone, the drawing bit stays.
    QCOMPARE(ann.controlFlags, int(ControlTypDraw));
    QVERIFY(!button(m_page->tile(QStringLiteral("1234")), "btnAudio")->isChecked());
    QVERIFY(!button(m_page->tile(QStringLiteral("1235")), "btnAudio")->isChecked());

    m_page->slot_setEnableDraw(QStringLiteral("1234"), true);
    QVERIFY(m_roster.getUserInfoByUid(QStringLiteral("1234"), ann));
    QCOMPARE(ann.controlFlags, 0);
}

void TestClassWidgetTilesTeacher::praiseCountsAndShowsOneEffect()
{
    UserInfo ann;
    QVERIFY(m_roster.getUserInfoByUid(QStringLiteral("1234"), ann));
    m_page->slot_clickePraise(ann);
    QVERIFY(m_page->isPraiseShowing());
    QCOMPARE(m_page->tile(QStringLiteral("1234"))->praiseText(), QStringLiteral("x1"));
    QCOMPARE(m_room->findChildren<PraiseEffectsWidget *>().size(), 1);
    // A praise while the effect shows only counts.
    m_page->slot_clickePraise(ann);
    QCOMPARE(m_page->tile(QStringLiteral("1234"))->praiseText(), QStringLiteral("x2"));
    QCOMPARE(m_room->findChildren<PraiseEffectsWidget *>().size(), 1);
    QVERIFY(m_roster.getUserInfoByUid(QStringLiteral("1234"), ann));
    QCOMPARE(ann.likeNum, 2);
    QTRY_VERIFY(!m_page->isPraiseShowing());
    QTRY_COMPARE(m_room->findChildren<PraiseEffectsWidget *>().size(), 0);
}

void TestClassWidgetTilesTeacher::pageClosedDuringTheEffect()
{
    UserInfo ann;
    QVERIFY(m_roster.getUserInfoByUid(QStringLiteral("1234"), ann));
    m_page->slot_clickePraise(ann);
    QPointer<PraiseEffectsWidget> effect = m_room->findChild<PraiseEffectsWidget *>();
    QVERIFY(effect);
    // The call came back at once; the page and then its window go while
    // the effect is on screen, and nothing waits for it.
    delete m_page;
    m_page = nullptr;
    delete m_room;
    m_room = nullptr;
    QVERIFY(!effect);
    // Nothing of the effect is left to run.
    QCoreApplication::processEvents();
}

void TestClassWidgetTilesTeacher::ownToolBarLeavesTheCameraCaptionsVisible()
{
    // The teacher's own tile at its size on the page, showing the engine's
    // synthetic camera; its tool bar must leave the user id and the other
    // captions of the picture readable, at rest and under the mouse, and
    // so must a tile's name and praise badge.
    TeacherLoginDataEntity me;
    me.id = QStringLiteral("900");
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(me);
    WidgetVideoItem *own = m_page->tile(QStringLiteral("900"));
    own->setStateFlag(true);
    own->muteVideo(false);
    m_room->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_room));
    QVERIFY(own->restoreVideoView());
    agora::rtc::IRtcEngine *engine = VideoSDK::instance()->getRtcEngine();
    QCOMPARE(engine->startPreview(), 0);
    own->setToolVisible(false);
    QVector<QPoint> captions;
    QTRY_VERIFY((captions = captionPixels(own->grab().toImage())).size() > 50);
    own->setToolVisible(true);
    QStringList covered;
    for (const bool hover : { false, true }) {
        own->showTool(hover);
        QVERIFY(own->tool()->isVisible());
        for (const QWidget *part : own->tool()->findChildren<QWidget *>()) {
            // The buttons and the level behind the microphone, not the
            // transparent boxes that hold them.
            if (!part->isVisibleTo(own) || part->findChildren<QWidget *>().size() > 1)
                continue;
            const QRect area(part->mapTo(own, QPoint(0, 0)), part->size());
            for (const QPoint &pixel : captions) {
                if (area.contains(pixel)) {
                    covered << QStringLiteral("%1 covers (%2, %3)").arg(part->objectName()).arg(pixel.x()).arg(pixel.y());
                    break;
                }
            }
        }
    }
    QVERIFY2(covered.isEmpty(), qPrintable(covered.join(QStringLiteral("; "))));

    // A student's tile, laid out as the own one, carries its praise badge
    // and its red name at the top: neither covers a caption, and the name
    // does not lie on the captions' dark band.
    WidgetVideoItem *ann = m_page->tile(QStringLiteral("1234"));
    QCOMPARE(ann->size(), own->size());
    const QImage picture = own->grab().toImage();
    const auto isBand = [](QRgb c) { return qAbs(qRed(c) - 32) < 12 && qAbs(qGreen(c) - 34) < 12 && qAbs(qBlue(c) - 48) < 12; };
    for (const char *name : { "widgetPraise", "nickName" }) {
        auto *part = ann->findChild<QWidget *>(QLatin1String(name));
        QVERIFY(part);
        const QRect area(part->mapTo(ann, QPoint(0, 0)), part->size());
        for (const QPoint &pixel : captions)
            QVERIFY2(!area.contains(pixel), qPrintable(QStringLiteral("%1 covers (%2, %3)").arg(QLatin1String(name)).arg(pixel.x()).arg(pixel.y())));
        if (qstrcmp(name, "nickName") != 0)
            continue;
        int band = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                band += isBand(picture.pixel(x, y)) ? 1 : 0;
        }
        QVERIFY2(band == 0, qPrintable(QStringLiteral("the name lies on %1 pixels of the dark band").arg(band)));
    }
    QCOMPARE(engine->stopPreview(), 0);
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(TeacherLoginDataEntity());
}

QTEST_MAIN(TestClassWidgetTilesTeacher)
#include "tst_classwidgettiles_teacher.moc"
