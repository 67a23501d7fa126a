// The teacher's award page: every student selected at the start, a prize
// recorded on the service with "sid" as uids each followed by "|" and sent
// to the class at once, a second prize refused for students whose flight
// still runs, nothing sent with nobody selected, and the selection kept
// the same on the tiles and in the rank list.
#include "actionlogreader.h"
#include "lessonservice.h"
#include "testutil.h"
#include "videotilestestsupport.h"

#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/backgroundqueue.h"
#include "utility/downloadutil.h"
#include "utility/userinfo.h"
#include "widget/modelwidgetvideo.h"
#include "widget/prizemodelanimation.h"
#include "widget/teacher/prizemodelwidget.h"
#include "widget/teacher/studentinfowidget.h"
#include "widget/widgetvideoitem.h"

#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QLabel>
#include <QJsonObject>
#include <QListWidget>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kRecordPath = QStringLiteral("/QXV1/Awards/saveAwardRecord");
const QString kTeacher = QString::fromLatin1(LessonService::kTeacherId);
const QString kLily = QString::fromLatin1(LessonService::kStudentId);
const QString kTom = QString::fromLatin1(LessonService::kClassmateId);
const QColor kSelectedRow(229, 233, 232);
const QColor kUnselectedRow(255, 255, 255);

struct TeacherPage
{
    // lilyPicture: the picture the roster names for Lily.
    explicit TeacherPage(const QString &lilyPicture = QString())
    {
        for (const auto &entry : { std::make_pair(kTeacher, 2), std::make_pair(kLily, 1), std::make_pair(kTom, 1) }) {
            UserInfo info;
            info.uid = entry.first;
            info.userName = entry.first == kLily ? QStringLiteral("Lily") : QStringLiteral("Tom");
            info.userType = entry.second;
            info.likeNum = 1;
            if (entry.first == kLily)
                info.pic = lilyPicture;
            roster.addUser(info);
        }
        roster.setTeacherIdx(0);
        page.setClassInfo(&roster, QString::fromLatin1(LessonService::kClassId));
        for (const QString &uid : { kLily, kTom }) {
            WidgetVideoItem *tile = VideoTilesTestSupport::rosterTile(roster, uid);
            page.addStudentTile(tile);
            page.addRankRow(tile);
        }
        page.resize(1026, 695);
        page.show();
    }

    QString lastAward(const QString &uid) const
    {
        UserInfo info;
        roster.getUserInfoByUid(uid, info);
        return info.lastAwardInfo.award_id;
    }

    void land(const QString &uid)
    {
        page.prizeAnimation(uid)->flight()->setCurrentTime(PrizeModelAnimation::kFlightMs);
    }

    UserList roster;
    PrizeModelWidget page;
};

} // namespace

class TestPrizeModelWidgetTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void everyStudentStartsSelected();
    void prizeIsRecordedAndSentAtOnce_data();
    void prizeIsRecordedAndSentAtOnce();
    void oneStudentStillEndsTheSidWithABar();
    void nobodySelectedSendsNothing();
    void secondPressSkipsTheStudentsStillFlying();
    void failedRecordKeepsTheAward_data();
    void failedRecordKeepsTheAward();
    void rankPicturesAreBounded_data();
    void rankPicturesAreBounded();
    void tileAndRankRowShareTheSelection();
    void awardComesBackAfterAResize();

private:
    QJsonObject recordForm();
    int recordCount();
    QVector<QJsonObject> sentAwards();

    LessonService m_service;
    QTemporaryDir m_dir;
    ActionLogReader m_log;
};

void TestPrizeModelWidgetTeacher::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
}

void TestPrizeModelWidgetTeacher::init()
{
    static int run = 0;
    QVERIFY(m_service.reset());
    QVERIFY(ActionLog::instance()->init(m_log.use(m_dir.filePath(QStringLiteral("action%1.log").arg(++run)))));
}

QJsonObject TestPrizeModelWidgetTeacher::recordForm()
{
    return m_service.lastRequest(kRecordPath).value(QStringLiteral("form")).toObject();
}

int TestPrizeModelWidgetTeacher::recordCount()
{
    int count = 0;
    for (const QJsonValue &request : m_service.requests())
        count += request.toObject().value(QStringLiteral("path")).toString() == kRecordPath;
    return count;
}

// The award messages sent, as the action log holds their envelopes.
QVector<QJsonObject> TestPrizeModelWidgetTeacher::sentAwards()
{
    QVector<QJsonObject> awards;
    for (const ActionLogReader::Record &record : m_log.named(QStringLiteral("im_send_Prize"))) {
        const QString info = record.info;
        const QJsonObject envelope = QJsonDocument::fromJson(info.mid(info.indexOf(QLatin1Char('{'))).toUtf8()).object();
        awards << envelope;
    }
    return awards;
}

void TestPrizeModelWidgetTeacher::everyStudentStartsSelected()
{
    TeacherPage teacher;
    QCOMPARE(teacher.page.awardTiles().size(), 2);
    for (ModelWidgetVideo *tile : teacher.page.awardTiles())
        QVERIFY(tile->isSelected());
    auto *list = teacher.page.findChild<QListWidget *>(QStringLiteral("listWidget"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->selectionMode(), QAbstractItemView::MultiSelection);
    for (const QString &uid : { kLily, kTom }) {
        QCOMPARE(teacher.page.rankItem(uid)->background().color(), kSelectedRow);
        QCOMPARE(teacher.page.rankItem(uid)->flags(), Qt::NoItemFlags);
        QCOMPARE(teacher.page.rankItem(uid)->sizeHint(), QSize(270, 60));
        QVERIFY(teacher.page.rankRow(uid)->isMarked());
        QCOMPARE(teacher.page.rankRow(uid)->praiseText(), QStringLiteral("1"));
    }
}

void TestPrizeModelWidgetTeacher::prizeIsRecordedAndSentAtOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("prize");
    QTest::newRow("crown") << "pushButton_crown" << 1;
    QTest::newRow("medal") << "pushButton_medal" << 2;
    QTest::newRow("flower") << "pushButton_flower" << 3;
    QTest::newRow("doll") << "pushButton_doll" << 4;
    QTest::newRow("car") << "pushButton_car" << 5;
    QTest::newRow("ball") << "pushButton_ball" << 6;
}

void TestPrizeModelWidgetTeacher::prizeIsRecordedAndSentAtOnce()
{
    QFETCH(QString, button);
    QFETCH(int, prize);
    TeacherPage teacher;
    QTest::mouseClick(teacher.page.findChild<QPushButton *>(button), Qt::LeftButton);
    // Sent at once, before the service answers.
    const QVector<QJsonObject> sent = sentAwards();
    QCOMPARE(sent.size(), 1);
    const QJsonObject data = sent.first().value(QStringLiteral("data")).toObject();
    QCOMPARE(data.keys(), (QStringList { "awardid", "classid", "sids", "tid" }));
    QCOMPARE(data.value(QStringLiteral("classid")).toString(), QString::fromLatin1(LessonService::kClassId));
    QCOMPARE(data.value(QStringLiteral("tid")).toString(), kTeacher);
    QCOMPARE(data.value(QStringLiteral("sids")).toArray(), QJsonArray({ kLily, kTom }));
    QVERIFY(data.value(QStringLiteral("awardid")).isDouble());
    QCOMPARE(data.value(QStringLiteral("awardid")).toInt(), prize);
    QCOMPARE(sent.first().value(QStringLiteral("sender")).toString(), kTeacher);
    QTRY_COMPARE(recordCount(), 1);
    const QJsonObject form = recordForm();
    QCOMPARE(form.value(QStringLiteral("sid")).toString(), kLily + "|" + kTom + "|");
    QCOMPARE(form.value(QStringLiteral("tid")).toString(), kTeacher);
    QCOMPARE(form.value(QStringLiteral("award_id")).toString(), QString::number(prize));
    QCOMPARE(form.value(QStringLiteral("class_id")).toString(), QString::fromLatin1(LessonService::kClassId));
    for (const QString &uid : { kLily, kTom }) {
        QCOMPARE(teacher.lastAward(uid), QString::number(prize));
        QVERIFY(!teacher.page.prizeAnimation(uid)->isIdle());
    }
}

void TestPrizeModelWidgetTeacher::oneStudentStillEndsTheSidWithABar()
{
    TeacherPage teacher;
    QTest::mouseClick(teacher.page.awardTile(kTom), Qt::LeftButton);
    teacher.page.on_pushButton_flower_clicked();
    QTRY_COMPARE(recordCount(), 1);
    QCOMPARE(recordForm().value(QStringLiteral("sid")).toString(), kLily + "|");
    QCOMPARE(teacher.lastAward(kLily), QStringLiteral("3"));
    QCOMPARE(teacher.lastAward(kTom), QString());
}

void TestPrizeModelWidgetTeacher::nobodySelectedSendsNothing()
{
    TeacherPage teacher;
    QTest::mouseClick(teacher.page.awardTile(kLily), Qt::LeftButton);
    QTest::mouseClick(teacher.page.awardTile(kTom), Qt::LeftButton);
    teacher.page.on_pushButton_crown_clicked();
    QVERIFY(sentAwards().isEmpty());
    QVERIFY(!teacher.page.prizeAnimation(kLily));
    // The answer to a request would come by now; none was made.
    QCOMPARE(recordCount(), 0);
}

void TestPrizeModelWidgetTeacher::secondPressSkipsTheStudentsStillFlying()
{
    TeacherPage teacher;
    // Tom is not selected for the first prize.
    QTest::mouseClick(teacher.page.awardTile(kTom), Qt::LeftButton);
    teacher.page.on_pushButton_crown_clicked();
    QTest::mouseClick(teacher.page.awardTile(kTom), Qt::LeftButton);
    teacher.page.on_pushButton_medal_clicked();
    QVector<QJsonObject> sent = sentAwards();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(1).value(QStringLiteral("data")).toObject().value(QStringLiteral("sids")).toArray(), QJsonArray({ kTom }));
    QCOMPARE(teacher.lastAward(kLily), QStringLiteral("1"));
    QCOMPARE(teacher.lastAward(kTom), QStringLiteral("2"));
    // Once the crown has landed, Lily takes the next prize.
    teacher.land(kLily);
    teacher.land(kTom);
    teacher.page.on_pushButton_ball_clicked();
    sent = sentAwards();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.at(2).value(QStringLiteral("data")).toObject().value(QStringLiteral("sids")).toArray(), QJsonArray({ kLily, kTom }));
    QCOMPARE(teacher.lastAward(kLily), QStringLiteral("6"));
    QTRY_COMPARE(recordCount(), 3);
}

void TestPrizeModelWidgetTeacher::failedRecordKeepsTheAward_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("refused") << "body";
    QTest::newRow("HTTP error") << "status";
    QTest::newRow("not JSON") << "nonjson";
}

void TestPrizeModelWidgetTeacher::failedRecordKeepsTheAward()
{
    QFETCH(QString, mode);
    QJsonObject extra;
    if (mode == QLatin1String("body"))
        extra.insert(QStringLiteral("body"), QStringLiteral(R"({"errorCode":403,"errorMsg":"no","data":{}})"));
    QVERIFY(m_service.setFault(kRecordPath, mode, extra));
    TeacherPage teacher;
    teacher.page.on_pushButton_car_clicked();
    QTRY_COMPARE(recordCount(), 1);
    QCOMPARE(sentAwards().size(), 1);
    QCOMPARE(teacher.lastAward(kLily), QStringLiteral("5"));
    QVERIFY(teacher.page.isVisible());
}

void TestPrizeModelWidgetTeacher::tileAndRankRowShareTheSelection()
{
    TeacherPage teacher;
    // A click on the tile: the rank row follows.
    QTest::mouseClick(teacher.page.awardTile(kLily), Qt::LeftButton);
    QVERIFY(!teacher.page.awardTile(kLily)->isSelected());
    QVERIFY(!teacher.page.rankRow(kLily)->isMarked());
    QCOMPARE(teacher.page.rankItem(kLily)->background().color(), kUnselectedRow);
    // A click on the rank row: the tile follows, back and forth.
    teacher.page.slot_itemClicked(teacher.page.rankItem(kLily));
    QVERIFY(teacher.page.awardTile(kLily)->isSelected());
    QVERIFY(teacher.page.rankRow(kLily)->isMarked());
    QCOMPARE(teacher.page.rankItem(kLily)->background().color(), kSelectedRow);
    teacher.page.slot_itemClicked(teacher.page.rankItem(kTom));
    QVERIFY(!teacher.page.awardTile(kTom)->isSelected());
    QVERIFY(!teacher.page.rankRow(kTom)->isMarked());
    QCOMPARE(teacher.page.rankItem(kTom)->background().color(), kUnselectedRow);
    teacher.page.on_pushButton_doll_clicked();
    QCOMPARE(sentAwards().first().value(QStringLiteral("data")).toObject().value(QStringLiteral("sids")).toArray(), QJsonArray({ kLily }));
    // Entering the mode again selects everyone and refreshes the counts.
    UserInfo tom;
    teacher.roster.getUserInfoByUid(kTom, tom);
    tom.likeNum = 7;
    teacher.roster.setUserInfoByUid(tom);
    teacher.page.updateUserTile(kTom);
    QVERIFY(teacher.page.awardTile(kTom)->isSelected());
    QCOMPARE(teacher.page.awardTile(kTom)->praiseText(), QStringLiteral("x7"));
    QCOMPARE(teacher.page.rankRow(kTom)->praiseText(), QStringLiteral("7"));
    QVERIFY(teacher.page.rankRow(kTom)->isMarked());
}

void TestPrizeModelWidgetTeacher::awardComesBackAfterAResize()
{
    TeacherPage teacher;
    teacher.page.on_pushButton_flower_clicked();
    teacher.land(kLily);
    teacher.land(kTom);
    teacher.page.resize(1200, 760);
    for (const QString &uid : { kLily, kTom }) {
        PrizeModelAnimation *layer = teacher.page.prizeAnimation(uid);
        QVERIFY(layer->isIdle());
        QVERIFY(!layer->flight());
        QVERIFY(layer->prizeLabel());
    }
    QCOMPARE(sentAwards().size(), 1);
}

void TestPrizeModelWidgetTeacher::rankPicturesAreBounded_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("shown");
    QTest::newRow("downloaded picture") << "download" << QSize(60, 40) << true;
    QTest::newRow("downloaded, beyond the pixel bound") << "download" << QSize(6000, 5000) << false;
    QTest::newRow("a path outside the download folder") << "elsewhere" << QSize(60, 40) << false;
}

// The roster's local picture path is shown only when it is one of our own
// downloads and its header announces no more pixels than the bound, like
// every picture from elsewhere; it is decoded at the size of the row.
void TestPrizeModelWidgetTeacher::rankPicturesAreBounded()
{
    QFETCH(QString, where);
    QFETCH(QSize, size);
    QFETCH(bool, shown);
    QTemporaryDir elsewhere;
    const QString folder = where == QLatin1String("download") ? getDownloadImageDir() : elsewhere.path();
    const QString path = QDir(folder).filePath(QStringLiteral("rank-%1x%2.png").arg(size.width()).arg(size.height()));
    QImage image(size, QImage::Format_Mono);
    image.fill(0);
    QVERIFY(image.save(path, "PNG"));

    TeacherPage teacher(path);
    auto *label = teacher.page.rankRow(kLily)->findChild<QLabel *>(QStringLiteral("label_picture"));
    QVERIFY(label);
    // The row's default picture is larger than the label; the roster's is
    // cut to the label.
    if (shown) {
        QTRY_COMPARE(label->pixmap(Qt::ReturnByValue).size(), label->size());
    } else {
        BackgroundQueue::pictures()->waitForDone();
        TestUtil::drainEvents();
        // The row's own default picture, untouched.
        StudentInfoWidget fresh;
        const QImage byDefault = fresh.findChild<QLabel *>(QStringLiteral("label_picture"))->pixmap(Qt::ReturnByValue).toImage();
        QCOMPARE(label->pixmap(Qt::ReturnByValue).toImage(), byDefault);
    }
}

QTEST_MAIN(TestPrizeModelWidgetTeacher)
#include "tst_prizemodelwidget_teacher.moc"
