// The observer's classroom, started from its argument: the observer page in
// place of the student's, no drawing, and a retry question while the RTC
// channel cannot be joined.

#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "testutil.h"

#include "widget/student/supervisionclasswidget.h"
#include "widget/supervisionclass.h"
#include "widget/widgetclassroom.h"

#include <QPushButton>
#include <QTest>

using namespace ClassroomTestSupport;

class TestSupervisionClassWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void observerPageWithoutDrawing();
    void retryQuestion_data();
    void retryQuestion();
    void ownUidThatIsNoNumberJoinsNothing();

private:
    ScopedTimeScale m_fast{ 0.02 };
};

void TestSupervisionClassWidget::initTestCase()
{
    signInStudent();
    SupervisionClass::analysisSupervisionParameter(
        QStringLiteral("velmo://supervisionClass/?token=supervisor-token&classId=10001"));
    QVERIFY(SupervisionClass::getSupervisionClassFlag());
}

void TestSupervisionClassWidget::observerPageWithoutDrawing()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    QVERIFY(qobject_cast<SupervisionClassWidget *>(room->classWidget()));
    for (const char *name : { "btnPen", "btnErase", "btnColor" }) {
        auto *button = room->classWidget()->findChild<QPushButton *>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        QVERIFY2(!button->isEnabled(), name);
    }
}

void TestSupervisionClassWidget::retryQuestion_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::newRow("no") << QList<int>{ QMessageBox::No };
    QTest::newRow("yes, then no") << QList<int>{ QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No };
}

void TestSupervisionClassWidget::retryQuestion()
{
    QFETCH(QList<int>, answers);
    CourseDialogsRecorder dialogs;
    dialogs.answers = answers;
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->show();
    // No RTC engine here: every join fails.
    room->startClass(classInfo());
    QStringList expected;
    for (int i = 0; i < answers.size(); ++i)
        expected << QStringLiteral("监课|加入课堂失败，是否重试？");
    QTRY_COMPARE(dialogs.boxes, expected);
    // Answered no: the classroom stays, without its class page.
    QVERIFY(room->classWidget()->isHidden());
    QVERIFY(room->isVisible());
}

void TestSupervisionClassWidget::ownUidThatIsNoNumberJoinsNothing()
{
    // It would join as the engine's uid 0, somebody else's; no retry can
    // mend it, so nothing asks.
    CourseDialogsRecorder dialogs;
    MessageCatcher log;
    StudentLoginDataEntity user;
    user.id = QStringLiteral("observer-7");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    signInStudent();
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("uid is not a number, not bound: \"observer-7\"")));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("videoTxt join failure")));
    TestUtil::drainEvents();
    QVERIFY(dialogs.boxes.isEmpty());
    QVERIFY(!room->classWidget()->isHidden());
}

QTEST_MAIN(TestSupervisionClassWidget)
#include "tst_supervisionclasswidget.moc"
