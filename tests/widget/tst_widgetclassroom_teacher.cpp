// The teacher's classroom window: its two mode pages, the mode switch and
// what it tells the students, the class page it hands to the players, and
// a teardown that runs once however often the window is closed.

#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"

#include "mgr/appcontext.h"
#include "mgr/globaldatamgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "utility/timeutility.h"
#include "widget/classtimeprogress.h"
#include "widget/classwidget.h"
#include "widget/teacher/prizemodelwidget.h"
#include "widget/teacherclasswidget.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetvideotoolstudentrole.h"
#include "widget/widgettimeprogress.h"
#include "widget/widgetwhiteboard.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace ClassroomTestSupport;

class TestWidgetClassRoomTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void buildsTheTeachersPages();
    void switchingSendsOneModeMessage();
    void awardPageSwitchesBack();
    void presenceRefreshedAfterTheAwardMode();
    void modeOfNoPageChangesNothing();
    void aPageIsListedOnce();
    void newcomerIsToldTheMode();
    void teardownRunsOnce();
    void destroyedPageIsForgotten();
    void teacherLeavesWithoutReview();
    void noConnectByNameWarnings();
    void classTimeStripShowsWhole_data();
    void classTimeStripShowsWhole();

private:
    static int modeMessages(const MessageCatcher &log) { return log.count(QtInfoMsg, QStringLiteral("\"type\":410")); }

    ScopedTimeScale m_fast{ 0.02 };
};

void TestWidgetClassRoomTeacher::initTestCase()
{
    signInTeacher();
}

void TestWidgetClassRoomTeacher::cleanup()
{
    TimeUtility::setClockForTests(nullptr);
}

void TestWidgetClassRoomTeacher::buildsTheTeachersPages()
{
    QSignalSpy opened(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_open);
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(room->windowTitle(), QStringLiteral("Classroom"));
    QVERIFY(qobject_cast<TeacherClassWidget *>(room->classWidget()));
    QCOMPARE(room->modes().size(), 2);
    QVERIFY(qobject_cast<PrizeModelWidget *>(room->modes().at(1)));
    QCOMPARE(room->currentMode(), room->classWidget());
    QVERIFY(!room->classWidget()->isHidden());
    QVERIFY(room->modes().at(1)->isHidden());
    QCOMPARE(Singleton<GlobalDataMgr>::instance()->getCurrentClassWidget(), room->classWidget());
}

void TestWidgetClassRoomTeacher::switchingSendsOneModeMessage()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    MessageCatcher log;
    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::PrizeMode);
    QCOMPARE(room->currentMode()->getClassMode(), int(WidgetClassMode::PrizeMode));
    QVERIFY(room->classWidget()->isHidden());
    QCOMPARE(modeMessages(log), 1);
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("\"data\":{\"classid\":\"10001\",\"type\":1}")));

    // The mode already shown: nothing sent, nothing switched.
    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::PrizeMode);
    QCOMPARE(modeMessages(log), 1);

    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::ClassMode);
    QCOMPARE(room->currentMode(), room->classWidget());
    QCOMPARE(modeMessages(log), 2);
}

// The award page carries the mode switch too: without it the teacher could
// not leave the award mode.
void TestWidgetClassRoomTeacher::awardPageSwitchesBack()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    MessageCatcher log;
    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::PrizeMode);
    QWidget *awardPage = room->currentMode();
    auto *awardSwitch = awardPage->findChild<QComboBox *>(QStringLiteral("comboBoxMode"));
    QVERIFY(awardSwitch);
    QVERIFY(awardSwitch->isVisibleTo(room.data()));
    QCOMPARE(awardSwitch->currentIndex(), int(WidgetClassMode::PrizeMode));
    QCOMPARE(modeMessages(log), 1);

    awardSwitch->setCurrentIndex(WidgetClassMode::ClassMode);
    QCOMPARE(room->currentMode(), room->classWidget());
    QVERIFY(awardPage->isHidden());
    QCOMPARE(modeMessages(log), 2);
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("\"data\":{\"classid\":\"10001\",\"type\":0}")));
    auto *classSwitch = room->classWidget()->findChild<QComboBox *>(QStringLiteral("comboBoxMode"));
    QVERIFY(classSwitch);
    QCOMPARE(classSwitch->currentIndex(), int(WidgetClassMode::ClassMode));

    // And forth again from the class page: the award page's switch follows.
    classSwitch->setCurrentIndex(WidgetClassMode::PrizeMode);
    QCOMPARE(room->currentMode(), awardPage);
    QCOMPARE(awardSwitch->currentIndex(), int(WidgetClassMode::PrizeMode));
    QCOMPARE(modeMessages(log), 3);
}

void TestWidgetClassRoomTeacher::presenceRefreshedAfterTheAwardMode()
{
    // Who comes and goes while the award page shows is on the tiles once
    // the class page is back; no tile shows the teacher's tool bar without
    // the mouse over it, an absent student's not at all.
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    room->show();
    const QString lily = QString::fromLatin1(kStudentId);
    const QString tom = QString::fromLatin1(kClassmateId);
    room->slot_videoChannelSomeOneJoined(lily);
    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::PrizeMode);
    room->slot_videoChannelSomeOneLeaved(lily);
    room->slot_videoChannelSomeOneJoined(tom);
    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::ClassMode);
    QCOMPARE(room->currentMode(), room->classWidget());

    WidgetVideoItemList *tiles = room->classWidget()->getVideoItemList();
    for (const QString &uid : { lily, tom }) {
        auto *tile = qobject_cast<WidgetVideoItemS *>(tiles->getWidgetByUid(uid));
        QVERIFY(tile);
        const bool present = uid == tom;
        QCOMPARE(tile->stateFlag(), present);
        QCOMPARE(tile->alertText().isEmpty(), present);
        WidgetVideoToolStudentRole *tool = tile->studentTool();
        for (const char *name : { "btnDraw", "btnPraise", "btnZoom", "btnVideo" }) {
            auto *button = tool->findChild<QPushButton *>(QLatin1String(name));
            QVERIFY(button);
            QVERIFY2(button->isHidden(), qPrintable(uid + QLatin1Char(' ') + QLatin1String(name)));
        }
        // The speaking level shows for a present student only.
        QCOMPARE(tool->findChild<QWidget *>(QStringLiteral("widget_bg"))->isHidden(), !present);
    }
}

void TestWidgetClassRoomTeacher::modeOfNoPageChangesNothing()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    MessageCatcher log;
    ClassModelControl control;
    control.type = 2;
    room->slot_receiveSwitchClassModel(ImMsgInfo(), control);
    room->slot_switchMode(2);
    QCOMPARE(room->currentMode(), room->classWidget());
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("Can not find modeType(2)'s mode object.)")), 2);
    QCOMPARE(modeMessages(log), 0);
}

void TestWidgetClassRoomTeacher::aPageIsListedOnce()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    MessageCatcher log;
    room->addClassMode(room->classWidget());
    room->addClassMode(nullptr);
    QCOMPARE(room->modes().size(), 2);
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("you attempt to add a NULL obj!")));
    QVERIFY(!room->changeModule(nullptr));
}

void TestWidgetClassRoomTeacher::newcomerIsToldTheMode()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::PrizeMode);
    MessageCatcher log;
    room->slot_videoChannelSomeOneJoined(QString::fromLatin1(kStudentId));
    QVERIFY(room->getUserList()->getIsInChannel(QString::fromLatin1(kStudentId)));
    // Its own enter message again, and the mode to the newcomer alone.
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("send IM msg, msgId")), 1);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("\"type\":103")), 1);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("send IM Peer msg, dstUid:20001")), 1);
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("\"sender\":\"30001\"")));
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("\"data\":{\"classid\":\"10001\",\"type\":1}")));
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("\"source\":\"13\"")));
}

void TestWidgetClassRoomTeacher::teardownRunsOnce()
{
    QPointer<WidgetClassRoom> room = new WidgetClassRoom;
    room->startClass(classInfo());
    QVERIFY(Singleton<AppContext>::instance()->isInClass());
    QSignalSpy closed(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_close);
    MessageCatcher log;
    room->show();
    // A second close before the deferred delete.
    QVERIFY(room->close());
    room->close();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("\"type\":104")), 1);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("clicked yes, exit classroom.")), 1);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("destoryMode")), 1);
    QVERIFY(!Singleton<AppContext>::instance()->isInClass());
    QVERIFY(Singleton<AppContext>::instance()->getClassId().isEmpty());
    QCOMPARE(Singleton<GlobalDataMgr>::instance()->getCurrentClassWidget(), static_cast<ClassWidget *>(nullptr));
    QTRY_VERIFY(room.isNull());
}

void TestWidgetClassRoomTeacher::destroyedPageIsForgotten()
{
    GlobalDataMgr *data = Singleton<GlobalDataMgr>::instance();
    {
        QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
        QCOMPARE(data->getCurrentClassWidget(), room->classWidget());
    }
    // Deleted without destoryMode: no pointer to freed memory stays.
    QCOMPARE(data->getCurrentClassWidget(), static_cast<ClassWidget *>(nullptr));

    // A page that is not the current one leaves the current one alone.
    TeacherClassWidget current;
    {
        TeacherClassWidget other;
        data->setCurrentClassWidget(&current);
    }
    QCOMPARE(data->getCurrentClassWidget(), static_cast<ClassWidget *>(&current));
}

void TestWidgetClassRoomTeacher::teacherLeavesWithoutReview()
{
    const qint64 begin = 1709521200;
    TimeUtility::setClockForTests([=]() { return (begin + 1500) * 1000; });
    CourseDialogsRecorder dialogs;
    dialogs.answers << int(QMessageBox::Yes);
    QPointer<WidgetClassRoom> room = new WidgetClassRoom;
    ClassInfoEntity info = classInfo();
    info.begin_time = QString::number(begin);
    info.is_commented = false;
    room->startClass(info);
    room->show();
    QSignalSpy closed(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_close);
    room->slot_closeWidget();
    QVERIFY(!room.isNull());
    QVERIFY(!room->reviewWidget());
    QCOMPARE(closed.count(), 1);
    QTRY_VERIFY(room.isNull());
}

void TestWidgetClassRoomTeacher::noConnectByNameWarnings()
{
    // Every form of the classroom connects its slots by name; a slot named
    // for a child the form lacks is a button that does nothing.
    MessageCatcher log;
    {
        QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
        room->startClass(classInfo());
        SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::PrizeMode);
        SignalQueueMgr::instance()->signalSwitchMode(WidgetClassMode::ClassMode);
    }
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("connectSlotsByName")), 0);
}

void TestWidgetClassRoomTeacher::classTimeStripShowsWhole_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<qint64>("elapsed");
    QTest::newRow("1040 x 760, before") << QSize(1040, 760) << qint64(-5999);
    QTest::newRow("1040 x 760, during") << QSize(1040, 760) << qint64(62);
    QTest::newRow("1040 x 760, half way") << QSize(1040, 760) << qint64(750);
    QTest::newRow("1920 x 1080, during") << QSize(1920, 1080) << qint64(62);
    QTest::newRow("smallest, during") << QSize(1, 1) << qint64(62);
}

void TestWidgetClassRoomTeacher::classTimeStripShowsWhole()
{
    // The strip keeps its size on the classroom's board whatever the
    // window's; every text on it shows whole, apart from the others, and the
    // bar shows between the clock times.
    QFETCH(QSize, windowSize);
    QFETCH(qint64, elapsed);
    const qint64 begin = 1709521200;
    TimeUtility::setClockForTests([=]() { return (begin + elapsed) * 1000; });
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    ClassInfoEntity info = classInfo();
    info.begin_time = QString::number(begin);
    room->startClass(info);
    room->showNormal();
    room->resize(windowSize);
    auto *strip = room->findChild<ClassTimeProgress *>();
    QVERIFY(strip);
    strip->slot_updateTime();
    QVERIFY(QTest::qWaitForWindowExposed(room.data()));
    QTRY_VERIFY(strip->isVisible());

    QList<QLabel *> labels;
    for (QLabel *label : strip->findChildren<QLabel *>()) {
        // The bar's own text is checked with the bar.
        if (label->parentWidget() != strip && strip->bar()->isAncestorOf(label))
            continue;
        if (label->isVisibleTo(strip))
            labels << label;
    }
    QCOMPARE(labels.size(), elapsed < 0 ? 1 : 2);
    QVector<QRect> places;
    for (QLabel *label : qAsConst(labels)) {
        const QRect place(label->mapTo(strip, QPoint(0, 0)), label->size());
        // A text that may wrap needs its lines' height, one that may not its width.
        const QRect wrapped = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap,
                                                                label->text());
        const bool whole = label->wordWrap() ? wrapped.height() <= label->height()
                                             : label->width() >= label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(whole, qPrintable(label->text() + QStringLiteral(" is cut: %1 x %2, %3").arg(label->width()).arg(label->height()).arg(wrapped.height())));
        QVERIFY2(strip->rect().contains(place), qPrintable(label->text() + QStringLiteral(" leaves the strip")));
        for (const QRect &other : qAsConst(places))
            QVERIFY2(!other.intersects(place), qPrintable(label->text() + QStringLiteral(" overlaps another text")));
        places << place;
    }
    if (elapsed < 0)
        return;

    // The bar paints itself: the time passed in cyan, the rest in white,
    // under the time left, at its right end.
    WidgetTimeProgress *bar = strip->bar();
    QVERIFY(bar->width() >= 60);
    const QImage picture = bar->grab().toImage();
    const int middle = bar->height() / 2;
    const int done = int(bar->width() * elapsed / 1500);
    QCOMPARE(QColor(picture.pixel(0, middle)), QColor(Qt::cyan));
    QCOMPARE(QColor(picture.pixel(qMin(done + 2, bar->width() / 2), middle)), QColor(Qt::white));
    QLabel *left = bar->findChild<QLabel *>();
    QVERIFY(left->width() >= left->fontMetrics().horizontalAdvance(left->text()));
    QVERIFY(bar->rect().contains(QRect(left->mapTo(bar, QPoint(0, 0)), left->size())));
}

QTEST_MAIN(TestWidgetClassRoomTeacher)
#include "tst_widgetclassroom_teacher.moc"
