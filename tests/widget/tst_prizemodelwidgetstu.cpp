// The student's award page and the prize layer: the flight's path and
// timing driven through the animation's own clock, stars and ribbon, a
// layer whose picture does not load, the teacher's award message on the
// page (with its bounds), last awards put back without flight, and the
// award tile that a student cannot select.
#include "scopedtimescale.h"
#include "videotilestestsupport.h"

#include "mgr/message/classordergate.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsgtype.h"
#include "mgr/message/sendandreceivemsg.h"
#include "utility/appdirs.h"
#include "utility/userinfo.h"
#include "widget/modelwidgetvideo.h"
#include "widget/prizemodelanimation.h"
#include "widget/student/prizemodelwidgetstu.h"
#include "widget/widgetvideoitem.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kLily = QStringLiteral("20001");
const QString kTom = QStringLiteral("20002");

UserInfo user(const QString &uid, const QString &name, int type, const QString &lastAward = QString())
{
    UserInfo info;
    info.uid = uid;
    info.userName = name;
    info.userType = type;
    info.likeNum = 2;
    info.lastAwardInfo.award_id = lastAward;
    return info;
}

struct StudentPage
{
    explicit StudentPage(const QString &lilyAward = QString(), const QString &tomAward = QString())
    {
        roster.addUser(user(kTeacher, QStringLiteral("Ms. Green"), 2));
        roster.addUser(user(kLily, QStringLiteral("Lily"), 1, lilyAward));
        roster.addUser(user(kTom, QStringLiteral("Tom"), 1, tomAward));
        roster.setTeacherIdx(0);
        roster.setCurUserIdx(1);
        page.setClassInfo(&roster, QStringLiteral("10001"));
        for (const QString &uid : { kLily, kTom })
            page.addStudentTile(VideoTilesTestSupport::rosterTile(roster, uid));
        page.resize(1024, 694);
    }

    PrizeModelAwardControl award(const QVector<QString> &sids, int prize) const
    {
        PrizeModelAwardControl control;
        control.classid = QStringLiteral("10001");
        control.tid = kTeacher;
        control.sids = sids;
        control.awardid = prize;
        return control;
    }

    QString lastAward(const QString &uid) const
    {
        UserInfo info;
        roster.getUserInfoByUid(uid, info);
        return info.lastAwardInfo.award_id;
    }

    UserList roster;
    PrizemodelwidgetStu page;
};

QString resource(const char *name)
{
    return getAbsoluteFilePath(getResourcesDir(), QString::fromLatin1(name));
}

} // namespace

class TestPrizeModelWidgetStu : public QObject
{
    Q_OBJECT

private slots:
    void crownFlightEndsOnTheTileThenStars();
    void medalHasItsRibbonBeneath();
    void placedAtOnceWithoutFlight();
    void secondAnimationWhileFlyingOnlyLogs();
    void missingPictureLeavesTheLayerIdle();
    void prizePicturesShipBesideTheProgram();
    void messageFliesOntoTheAwardedTiles();
    void awardMessagesOutsideTheBoundsAreDropped_data();
    void awardMessagesOutsideTheBoundsAreDropped();
    void onlyTheTeachersAwardsOfThisClassCount_data();
    void onlyTheTeachersAwardsOfThisClassCount();
    void stillFlyingStudentKeepsTheOldRecord();
    void lastAwardsComeBackWithoutFlight_data();
    void lastAwardsComeBackWithoutFlight();
    void studentCannotSelectATile();
    void lightTurnsOnlyWhileShown();
    void lightStaysInTheSquareItRepaints();
};

void TestPrizeModelWidgetStu::crownFlightEndsOnTheTileThenStars()
{
    QWidget area;
    area.resize(740, 604);
    auto *layer = new PrizeModelAnimation(&area);
    QCOMPARE(layer->size(), QSize(740, 604));
    QVERIFY(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
    const QPoint from(290, 200);
    const QPoint to(40, 120);
    layer->showAnimation(resource("crown_big.png"), from, to, 1, true);
    QVERIFY(!layer->isIdle());
    QPropertyAnimation *flight = layer->flight();
    QVERIFY(flight);
    QCOMPARE(flight->duration(), PrizeModelAnimation::kFlightMs);
    flight->setCurrentTime(0);
    QCOMPARE(layer->prizeLabel()->geometry(), QRect(from, QSize(160, 160)));
    // The student's program rises to 150 above the start.
    flight->setCurrentTime(750);
    QCOMPARE(layer->prizeLabel()->geometry(), QRect(from.x(), from.y() - 150, 160, 160));
    // Half way the crown is on the tile and rests there.
    flight->setCurrentTime(1250);
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(to.x() + 17, to.y()));
    flight->setCurrentTime(2000);
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(to.x() + 17, to.y()));
    QVERIFY(!layer->isIdle());
    QVERIFY(layer->decorations().isEmpty());
    flight->setCurrentTime(PrizeModelAnimation::kFlightMs);
    QVERIFY(layer->isIdle());
    layer->slot_showSpecialEffects();
    const QList<QLabel *> stars = layer->decorations();
    QCOMPARE(stars.size(), 3);
    QCOMPARE(stars.at(0)->pos(), QPoint(to.x() + 95, to.y() + 75));
    QCOMPARE(stars.at(1)->pos(), QPoint(to.x() + 50, to.y() + 105));
    QCOMPARE(stars.at(2)->pos(), QPoint(to.x() + 115, to.y() + 100));
    // The page's resize puts the crown and its stars at the tile's new place.
    layer->relayout(800, 620, 60, 300);
    QCOMPARE(layer->size(), QSize(800, 620));
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(60 + 17, 300 - 150));
    QCOMPARE(stars.at(0)->pos(), QPoint(60 + 95, 300 - 75));
}

void TestPrizeModelWidgetStu::medalHasItsRibbonBeneath()
{
    QWidget area;
    area.resize(740, 604);
    auto *layer = new PrizeModelAnimation(&area);
    const QPoint to(40, 120);
    layer->showAnimation(resource("medal_big.png"), QPoint(290, 200), to, 2, true);
    // A medal comes down onto the tile from 80 above it.
    layer->flight()->setCurrentTime(1000);
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(to.x() + 17, to.y() - 80));
    layer->flight()->setCurrentTime(1250);
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(to.x() + 17, to.y()));
    layer->flight()->setCurrentTime(PrizeModelAnimation::kFlightMs);
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(to.x() + 17, to.y()));
    layer->slot_showSpecialEffects();
    const QList<QLabel *> shown = layer->decorations();
    QCOMPARE(shown.size(), 3);
    QLabel *rope = shown.last();
    QCOMPARE(rope->pos(), QPoint(to.x() - 3, to.y() - 60));
    QCOMPARE(layer->children().indexOf(rope), 0); // beneath the other labels
}

void TestPrizeModelWidgetStu::placedAtOnceWithoutFlight()
{
    QWidget area;
    area.resize(740, 604);
    auto *layer = new PrizeModelAnimation(&area);
    layer->showAnimation(resource("crown_big.png"), QPoint(290, 200), QPoint(40, 120), 1, false);
    QVERIFY(layer->isIdle());
    QVERIFY(!layer->flight());
    QCOMPARE(layer->prizeLabel()->pos(), QPoint(57, 120));
    QTRY_COMPARE(layer->decorations().size(), 3);
    // Other prizes have no decorations.
    auto *ball = new PrizeModelAnimation(&area);
    ball->showAnimation(resource("ball_big.png"), QPoint(290, 200), QPoint(40, 120), 6, false);
    ball->slot_showSpecialEffects();
    QVERIFY(ball->decorations().isEmpty());
}

void TestPrizeModelWidgetStu::secondAnimationWhileFlyingOnlyLogs()
{
    QWidget area;
    area.resize(740, 604);
    auto *layer = new PrizeModelAnimation(&area);
    layer->showAnimation(resource("crown_big.png"), QPoint(290, 200), QPoint(40, 120), 1, true);
    QPropertyAnimation *flight = layer->flight();
    flight->setCurrentTime(500);
    const QRect before = layer->prizeLabel()->geometry();
    layer->showAnimation(resource("car_big.png"), QPoint(0, 0), QPoint(300, 300), 5, false);
    QCOMPARE(layer->flight(), flight);
    QCOMPARE(layer->prizeLabel()->geometry(), before);
    QVERIFY(!layer->isIdle());
}

void TestPrizeModelWidgetStu::missingPictureLeavesTheLayerIdle()
{
    QWidget area;
    area.resize(740, 604);
    auto *layer = new PrizeModelAnimation(&area);
    layer->showAnimation(resource("no_such_prize.png"), QPoint(290, 200), QPoint(40, 120), 1, true);
    QVERIFY(layer->isIdle());
    QVERIFY(!layer->prizeLabel());
    layer->relayout(700, 500, 10, 10);
    QCOMPARE(layer->size(), QSize(700, 500));
    QVERIFY(layer->children().size() <= 1); // nothing but the flower scatter

    // The next prize on the same layer is not refused.
    layer->showAnimation(resource("car_big.png"), QPoint(290, 200), QPoint(40, 120), 5, true);
    QVERIFY(!layer->isIdle());
    QVERIFY(layer->prizeLabel());
}

void TestPrizeModelWidgetStu::prizePicturesShipBesideTheProgram()
{
    for (int prize = 1; prize <= 6; ++prize) {
        QVERIFY(PrizeModel::prizePicture(prize).startsWith(getResourcesDir() + QLatin1Char('/')));
        QVERIFY2(!QPixmap(PrizeModel::prizePicture(prize)).isNull(), qPrintable(PrizeModel::prizePicture(prize)));
    }
    for (const char *name : { "star1.png", "star2.png", "rope.png" })
        QVERIFY2(!QPixmap(resource(name)).isNull(), name);
    QVERIFY(PrizeModel::prizePicture(0).isEmpty());
    QVERIFY(PrizeModel::prizePicture(7).isEmpty());
    QCOMPARE(QVector<int>({ PrizeModel::prizeRestOffset(1), PrizeModel::prizeRestOffset(2), PrizeModel::prizeRestOffset(3),
                            PrizeModel::prizeRestOffset(4), PrizeModel::prizeRestOffset(5), PrizeModel::prizeRestOffset(6) }),
             QVector<int>({ -110, 110, 100, 90, 100, 100 }));
}

void TestPrizeModelWidgetStu::messageFliesOntoTheAwardedTiles()
{
    StudentPage student;
    student.page.show();
    QCOMPARE(student.page.awardTiles().size(), 2);
    student.page.slot_PrizePresentation({}, student.award({ kLily, kTom }, 5));
    for (const QString &uid : { kLily, kTom }) {
        PrizeModelAnimation *layer = student.page.prizeAnimation(uid);
        QVERIFY(layer);
        QVERIFY(!layer->isIdle());
        QCOMPARE(student.lastAward(uid), QStringLiteral("5"));
        // The flight starts 60 above the tile's mapped point and ends on it.
        layer->flight()->setCurrentTime(PrizeModelAnimation::kFlightMs);
        ModelWidgetVideo *tile = student.page.awardTile(uid);
        const QPoint mapped = tile->mapTo(&student.page, tile->pos());
        QCOMPARE(layer->prizeLabel()->pos(), QPoint(tile->x() + 17, mapped.y() + 100));
        QVERIFY(layer->isIdle());
    }
    // After a resize both show the car at once, without flight.
    student.page.resize(1200, 760);
    for (const QString &uid : { kLily, kTom }) {
        PrizeModelAnimation *layer = student.page.prizeAnimation(uid);
        QVERIFY(layer->isIdle());
        QVERIFY(!layer->flight());
        QVERIFY(layer->prizeLabel()->isVisibleTo(&student.page));
    }
}

void TestPrizeModelWidgetStu::awardMessagesOutsideTheBoundsAreDropped_data()
{
    QTest::addColumn<int>("prize");
    QTest::addColumn<int>("extraUids");
    QTest::newRow("prize 0") << 0 << 0;
    QTest::newRow("prize 7") << 7 << 0;
    QTest::newRow("negative prize") << -1 << 0;
    QTest::newRow("more students than a class has") << 3 << PrizeModel::kMaxAwardedStudents;
}

void TestPrizeModelWidgetStu::awardMessagesOutsideTheBoundsAreDropped()
{
    QFETCH(int, prize);
    QFETCH(int, extraUids);
    StudentPage student;
    QVector<QString> sids { kLily };
    for (int i = 0; i < extraUids; ++i)
        sids << QStringLiteral("9%1").arg(i);
    student.page.slot_PrizePresentation({}, student.award(sids, prize));
    QVERIFY(!student.page.prizeAnimation(kLily));
    QCOMPARE(student.lastAward(kLily), QString());
    // The largest class still gets its prize.
    sids.resize(PrizeModel::kMaxAwardedStudents);
    student.page.slot_PrizePresentation({}, student.award(sids, 3));
    QVERIFY(student.page.prizeAnimation(kLily));
    QCOMPARE(student.lastAward(kLily), QStringLiteral("3"));
}

void TestPrizeModelWidgetStu::onlyTheTeachersAwardsOfThisClassCount_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("classId");
    QTest::addColumn<bool>("kept");
    QTest::newRow("teacher") << kTeacher << "10001" << true;
    QTest::newRow("teacher, another class") << kTeacher << "10002" << false;
    QTest::newRow("classmate") << kTom << "10001" << false;
    QTest::newRow("stranger") << "77777" << "10001" << false;
    QTest::newRow("no sender") << QString() << "10001" << false;
}

void TestPrizeModelWidgetStu::onlyTheTeachersAwardsOfThisClassCount()
{
    // Through the message layer and the gate, as an award arrives: anybody's
    // award used to replace a student's crown.
    QFETCH(QString, sender);
    QFETCH(QString, classId);
    QFETCH(bool, kept);
    StudentPage student;
    ClassOrderGate::instance()->setClass(QStringLiteral("10001"), kTeacher, { kTeacher, kLily, kTom });
    PrizeModelAwardControl control = student.award({ kLily }, 2);
    control.classid = classId;
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    layer->receiveMsg(layer->buildMsgText(control, IM_Prize, sender));
    QCOMPARE(student.lastAward(kLily), kept ? QStringLiteral("2") : QString());
    ClassOrderGate::instance()->clearClass();
}

void TestPrizeModelWidgetStu::stillFlyingStudentKeepsTheOldRecord()
{
    StudentPage student;
    student.page.slot_PrizePresentation({}, student.award({ kLily }, 1));
    // A second prize while the crown flies: Lily is left out, Tom gets it;
    // unknown uids and a repeated uid change nothing.
    student.page.slot_PrizePresentation({}, student.award({ kLily, QStringLiteral("77"), kTom, kTom }, 4));
    QCOMPARE(student.lastAward(kLily), QStringLiteral("1"));
    QCOMPARE(student.lastAward(kTom), QStringLiteral("4"));
}

void TestPrizeModelWidgetStu::lastAwardsComeBackWithoutFlight_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("shown");
    QTest::newRow("medal") << "2" << true;
    QTest::newRow("ball") << "6" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("text") << "crown" << false;
}

void TestPrizeModelWidgetStu::lastAwardsComeBackWithoutFlight()
{
    QFETCH(QString, stored);
    QFETCH(bool, shown);
    StudentPage student(stored);
    student.page.show();
    PrizeModelAnimation *layer = student.page.prizeAnimation(kLily);
    QCOMPARE(layer != nullptr, shown);
    QVERIFY(!student.page.prizeAnimation(kTom));
    if (!shown)
        return;
    QVERIFY(layer->isIdle());
    QVERIFY(!layer->flight());
    QVERIFY(layer->prizeLabel());
}

void TestPrizeModelWidgetStu::studentCannotSelectATile()
{
    StudentPage student;
    student.page.show();
    ModelWidgetVideo *tile = student.page.awardTiles().first();
    QCOMPARE(tile->nameText(), QStringLiteral("Lily"));
    QCOMPARE(tile->praiseText(), QStringLiteral("x2"));
    const QString styleBefore = tile->findChild<QWidget *>(QStringLiteral("widget_data"))->styleSheet();
    QTest::mouseClick(tile, Qt::LeftButton);
    QVERIFY(tile->isSelected());
    QCOMPARE(tile->findChild<QWidget *>(QStringLiteral("widget_data"))->styleSheet(), styleBefore);
    // The page refreshes the praise count from the roster.
    UserInfo lily;
    student.roster.getUserInfoByUid(kLily, lily);
    lily.likeNum = 9;
    student.roster.setUserInfoByUid(lily);
    student.page.updateUserTile(kLily);
    QCOMPARE(tile->praiseText(), QStringLiteral("x9"));
}

void TestPrizeModelWidgetStu::lightTurnsOnlyWhileShown()
{
    StudentPage student;
    QVERIFY(!student.page.isLightTurning());
    student.page.show();
    QVERIFY(student.page.isLightTurning());
    const int first = student.page.lightAngle();
    QTRY_VERIFY(student.page.lightAngle() != first);
    QVERIFY(student.page.lightAngle() >= 0 && student.page.lightAngle() < 360);
    student.page.hide();
    QVERIFY(!student.page.isLightTurning());
}

void TestPrizeModelWidgetStu::lightStaysInTheSquareItRepaints()
{
    // A turn repaints only the light's square: a light drawn past it would
    // leave its old rays behind on the screen.
    StudentPage student;
    student.page.show();
    const QRect bounds = student.page.lightBounds();
    QVERIFY(!bounds.isEmpty());
    const QRect area = student.page.findChild<QWidget *>(QStringLiteral("widget_main"))->geometry();
    QVERIFY(area.contains(bounds));
    QVERIFY(bounds.width() < area.width());

    // What changes between frames at different angles lies in the square.
    QImage first = student.page.grab().toImage();
    QRect changed;
    for (int frame = 0; frame < 4; ++frame) {
        const int angle = student.page.lightAngle();
        QTRY_VERIFY(student.page.lightAngle() != angle);
        const QImage next = student.page.grab().toImage();
        QCOMPARE(next.size(), first.size());
        for (int y = 0; y < next.height(); ++y) {
            for (int x = 0; x < next.width(); ++x) {
                if (next.pixel(x, y) != first.pixel(x, y))
                    changed |= QRect(x, y, 1, 1);
            }
        }
    }
    QVERIFY(!changed.isEmpty());
    QVERIFY2(bounds.contains(changed), qPrintable(QStringLiteral("changed %1,%2 %3x%4 outside %5,%6 %7x%8")
                                                      .arg(changed.x()).arg(changed.y()).arg(changed.width())
                                                      .arg(changed.height()).arg(bounds.x()).arg(bounds.y())
                                                      .arg(bounds.width()).arg(bounds.height())));
}

QTEST_MAIN(TestPrizeModelWidgetStu)
#include "tst_prizemodelwidgetstu.moc"
