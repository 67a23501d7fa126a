// The rows of the course windows' lists: a timetable day, a booked lesson,
// a teacher's class and a student card.

#include "loginwindowtestsupport.h"

#include "widget/student/coursedetailsitem.h"
#include "widget/student/timetableitem.h"
#include "widget/teacher/classlistitem.h"
#include "widget/teacher/classtimeitem.h"
#include "widget/teacher/studentsinfoitem.h"

#include <QDateTime>
#include <QPushButton>
#include <QSignalSpy>

using LoginTest::child;

class tst_CourseRows : public QObject
{
    Q_OBJECT

private slots:
    void timetableDayKnowsToday_data();
    void timetableDayKnowsToday();
    void lessonButtonByTheTenMinuteRule_data();
    void lessonButtonByTheTenMinuteRule();
    void classBadge_data();
    void classBadge();
    void classColoursFollowStatusAndSelection_data();
    void classColoursFollowStatusAndSelection();
    void blankRowAndDateRow();
    void studentCardGender_data();
    void studentCardGender();
};

void tst_CourseRows::timetableDayKnowsToday_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("today");
    const QDate now = QDate::currentDate();
    QTest::newRow("today") << now << true;
    QTest::newRow("tomorrow") << now.addDays(1) << false;
    // Same day of the month, another month: not today.
    QTest::newRow("a month later") << now.addMonths(1) << false;
    QTest::newRow("a month earlier") << now.addMonths(-1) << false;
    QTest::newRow("a year earlier") << now.addYears(-1) << false;
}

void tst_CourseRows::timetableDayKnowsToday()
{
    QFETCH(QDate, day);
    QFETCH(bool, today);
    TimetableItem row;
    row.show();
    row.setClassInfo(BriefBookedClassEntity{ static_cast<int>(day.startOfDay().toSecsSinceEpoch()), 3 });
    QCOMPARE(child<QLabel>(&row, "labelDay")->isVisible(), today);
    QCOMPARE(child<QLabel>(&row, "labelDate")->text(), day.toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(child<QLabel>(&row, "labelClassNum")->text(), TimetableItem::tr("Booked %1 classes").arg(3));
    QCOMPARE(row.getClassInfo().class_num, 3);
}

void tst_CourseRows::lessonButtonByTheTenMinuteRule_data()
{
    QTest::addColumn<QString>("beginTime");
    QTest::addColumn<bool>("grey");
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QTest::newRow("in 20 minutes") << QString::number(now + 1200) << true;
    QTest::newRow("in 5 minutes") << QString::number(now + 300) << false;
    QTest::newRow("begun") << QString::number(now - 600) << false;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("not a number") << QStringLiteral("soon") << true;
}

void tst_CourseRows::lessonButtonByTheTenMinuteRule()
{
    QFETCH(QString, beginTime);
    QFETCH(bool, grey);
    BookedCourseDetail lesson;
    lesson.id = QStringLiteral("10001");
    lesson.begin_time = beginTime;
    lesson.materials.cname = QStringLiteral("Level 1");
    lesson.teacher.nickname = QStringLiteral("Ms. Green");
    CourseDetailsItem row;
    row.bindData(lesson);
    auto *button = child<QPushButton>(&row, "pushButtonJoinClass");
    QCOMPARE(button->styleSheet().contains(QStringLiteral("#dcd2d2")), grey);
    QCOMPARE(child<QLabel>(&row, "labelClassTime")->text(),
             QDateTime::fromSecsSinceEpoch(beginTime.toInt()).toString(QStringLiteral("hh:mm")));
    QCOMPARE(child<QLabel>(&row, "labelClassLevel")->text(), QStringLiteral("Level 1"));

    // Grey or red, the button enters.
    QSignalSpy clicked(&row, &CourseDetailsItem::signal_clickedJoinClass);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().value<BookedCourseDetail>().id, QStringLiteral("10001"));
}

void tst_CourseRows::classBadge_data()
{
    QTest::addColumn<QString>("pubClassId");
    QTest::addColumn<QString>("freeTry");
    QTest::addColumn<QString>("badge");
    QTest::newRow("public class") << "7" << "1" << "P";
    QTest::newRow("regular") << "0" << "0" << "R";
    QTest::newRow("free") << "0" << "1" << "F";
    QTest::newRow("experience") << "" << "2" << "E";
    QTest::newRow("paid trial") << "0" << "3" << "P";
    QTest::newRow("trial") << "0" << "100" << "T";
    QTest::newRow("unknown") << "0" << "5" << "";
}

void tst_CourseRows::classBadge()
{
    QFETCH(QString, pubClassId);
    QFETCH(QString, freeTry);
    QFETCH(QString, badge);
    TeacherClassEntity lesson;
    lesson.class_id = QStringLiteral("10001");
    lesson.begin_time = QStringLiteral("0");
    lesson.pub_cls_id = pubClassId;
    lesson.free_try = freeTry;
    ClassListItem row;
    row.setClassInfo(lesson);
    QCOMPARE(row.badgeText(), badge);
    QCOMPARE(row.getClassId(), QStringLiteral("10001"));
    QCOMPARE(row.timeText(), QDateTime::fromSecsSinceEpoch(0).toString(QStringLiteral("hh:mm")));
}

void tst_CourseRows::classColoursFollowStatusAndSelection_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("badgeColour");
    QTest::addColumn<QString>("rowStyle");
    QTest::addColumn<int>("paths");
    QTest::newRow("active") << "2" << "#bec8c8" << "color: #2f3244;" << 2;
    QTest::newRow("finished") << "3" << "#d8d8d8" << "color: #999999;" << 2;
    // Status 0 keeps the form's look and the paths it had.
    QTest::newRow("not scheduled") << "0" << "#d8d8d8" << "" << 1;
}

void tst_CourseRows::classColoursFollowStatusAndSelection()
{
    QFETCH(QString, status);
    QFETCH(QString, badgeColour);
    QFETCH(QString, rowStyle);
    QFETCH(int, paths);
    ClassListItem row;
    TeacherClassEntity earlier;
    earlier.status = QStringLiteral("1");
    earlier.resource.append(resourceDetailsInfoEntity{ 1, QString(), 1, QStringLiteral("http://h/a.pdf"), QString(), QString() });
    row.setClassInfo(earlier);

    TeacherClassEntity lesson;
    lesson.status = status;
    lesson.resource.append(resourceDetailsInfoEntity{ 1, QString(), 1, QStringLiteral("http://h/b.pdf"), QString(), QString() });
    lesson.resource.append(resourceDetailsInfoEntity{ 2, QString(), 3, QStringLiteral("http://h/c.mp4"), QString(), QString() });
    row.setClassInfo(lesson);
    QCOMPARE(row.resourcePaths().size(), paths);
    if (status != QLatin1String("0")) {
        QVERIFY(row.badgeStyle().contains(badgeColour));
        QCOMPARE(row.styleSheet(), rowStyle);
    }
    row.setSelected(true);
    QVERIFY(row.badgeStyle().contains(QStringLiteral("rgba(198, 76, 59, 0.9)")));
    row.setSelected(false);
    QVERIFY(row.badgeStyle().contains(badgeColour));
}

void tst_CourseRows::blankRowAndDateRow()
{
    ClassListItem blank;
    blank.show();
    blank.hideTimeAndState();
    QVERIFY(!child<QLabel>(&blank, "labelTime")->isVisible());
    QVERIFY(!child<QLabel>(&blank, "labelClassState")->isVisible());
    QVERIFY(child<QLabel>(&blank, "labelEmtey")->isVisible());

    ClassTimeItem date;
    date.setClassTime(0);
    QCOMPARE(date.timeText(), QDateTime::fromSecsSinceEpoch(0).toString(QStringLiteral("yyyy-MM-dd")));
}

void tst_CourseRows::studentCardGender_data()
{
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1") << "1" << "Boy";
    QTest::newRow("2") << "2" << "Girl";
    QTest::newRow("empty") << "" << "Girl";
}

void tst_CourseRows::studentCardGender()
{
    QFETCH(QString, gender);
    QFETCH(QString, shown);
    ClassDetailsStudentEntity student;
    student.id = QStringLiteral("20001");
    student.nickname = QStringLiteral("Lily");
    student.age = QStringLiteral("7");
    student.grd_level = QStringLiteral("PreA");
    student.gender = gender;
    StudentsInfoItem card;
    card.setStudentInfo(student);
    QCOMPARE(child<QLabel>(&card, "labelGender")->text(), shown);
    QCOMPARE(child<QLabel>(&card, "labelAgeNum")->text(), QStringLiteral("7"));
    QCOMPARE(child<QLabel>(&card, "labelGrdLevel")->text(), QStringLiteral("PreA"));
    QCOMPARE(child<QLabel>(&card, "labelUid")->text(), QStringLiteral("20001"));
}

QTEST_MAIN(tst_CourseRows)
#include "tst_courserows.moc"
