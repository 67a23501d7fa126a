// A teacher's and students' whiteboards in separate processes over a real
// broker: the teacher's strokes, text and page turns appear on the student's
// board, the student follows the teacher's page and not another student's,
// and the student's strokes and erasing reach the teacher's board.
//
// This process is student 20001 with a real student board; the teacher
// (30001) is a board peer process and classmate 20002 a classroom peer that
// sends raw whiteboard messages.

#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include "boardclasssupport.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/whiteboardmsgutil.h"
#include "widget/widgetwhiteboard.h"

#include <QApplication>
#include <QDir>
#include <QJsonObject>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kStudent = QStringLiteral("20001");
const QString kClassmate = QStringLiteral("20002");

void mouse(WidgetWhiteBoard *board, QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, board->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(board, &event);
}

QPoint at(WidgetWhiteBoard *board, double fx, double fy)
{
    return board->currentPageOrigin()
        + QPoint(int(fx * board->pageImageSize().width()), int(fy * board->pageImageSize().height()));
}

} // namespace

class TestWhiteboardPeers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void teacherStrokeTextAndTurnReachTheStudent();
    void studentFollowsTheTeacherOnly();
    void studentStrokeAndErasureReachTheTeacher();

private:
    bool teacherState(const QString &expected);

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    QString m_classId;
    std::unique_ptr<BoardClass> m_session;
    std::unique_ptr<ClassroomPeerProcess> m_teacher;
};

void TestWhiteboardPeers::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
}

void TestWhiteboardPeers::init()
{
    m_classId = QStringLiteral("wb-%1").arg(QString::fromLatin1(QTest::currentTestFunction()));
    m_session = testBoardClass(kStudent, m_classId);
    WidgetWhiteBoard *board = m_session->board();
    board->setPrerenderEnabled(false);
    board->resize(1190, 840);
    board->show();
    QVERIFY(board->openPdf(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf")));
    QVERIFY(joinBoardClass(*m_session));

    m_teacher = std::make_unique<ClassroomPeerProcess>();
    QVERIFY(m_teacher->startProgram(QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-board-peer-teacher")),
                                    { QStringLiteral("--uid"), kTeacher, QStringLiteral("--class"), m_classId }));
}

void TestWhiteboardPeers::cleanup()
{
    if (m_teacher)
        QVERIFY(m_teacher->quit());
    m_teacher.reset();
    if (m_session)
        m_session->leave();
    m_session.reset();
}

bool TestWhiteboardPeers::teacherState(const QString &expected)
{
    const int from = m_teacher->lineCount();
    m_teacher->command(QStringLiteral("state"));
    return m_teacher->waitForLine(expected, 10000, from) || m_teacher->waitForLine(expected, 10000);
}

void TestWhiteboardPeers::teacherStrokeTextAndTurnReachTheStudent()
{
    WidgetWhiteBoard *board = m_session->board();
    m_teacher->command(QStringLiteral("stroke 1000,1000 3000,3000 5000,2000"));
    QTRY_COMPARE_WITH_TIMEOUT(board->unitCount(0), 1, 10000);
    auto *stroke = static_cast<DrawCurveUnit *>(board->drawUnits().value(0).first());
    QCOMPARE(stroke->getOwnerUid(), kTeacher);
    // Press, two moves and the release point.
    QCOMPARE(stroke->getPoints().size(), 4);
    QVERIFY((stroke->getPoints().first() - QPoint(1000, 1000)).manhattanLength() <= 2);

    m_teacher->command(QStringLiteral("text 2000,6000 hello class"));
    QTRY_COMPARE_WITH_TIMEOUT(board->unitCount(0), 2, 10000);
    auto *text = static_cast<TextUnit *>(board->drawUnits().value(0).last());
    QCOMPARE(text->getText(), QString("hello class"));
    // The box's edit area begins about where the teacher clicked.
    QVERIFY(qAbs(text->getRect().left() - 2000) < 100);

    m_teacher->command(QStringLiteral("next"));
    QTRY_COMPARE_WITH_TIMEOUT(board->currentPageIndex(), 1, 10000);
    // The student looks back at page 1; the teacher draws on page 2 and the
    // student's board follows.
    QVERIFY(board->gotoPage(0));
    m_teacher->command(QStringLiteral("stroke 5000,5000 6000,6000"));
    QTRY_COMPARE_WITH_TIMEOUT(board->unitCount(1), 1, 10000);
    QCOMPARE(board->currentPageIndex(), 1);
}

void TestWhiteboardPeers::studentFollowsTheTeacherOnly()
{
    WidgetWhiteBoard *board = m_session->board();
    ClassroomPeerProcess classmate;
    QVERIFY(classmate.start(ClassroomPeerProcess::Student, kClassmate, m_classId));

    DrawElement element;
    element.page = 3;
    element.type = 1;
    element.size = 3;
    element.ptArray = { 0, WhiteboardMsgUtil::packPoint({ 100, 100 }) };
    classmate.send(300, toJson(WhiteboardMsgUtil::toDrawUnitData(WhiteboardMsgUtil::toDrawObjectDetail(element), m_classId, "m1")));
    classmate.send(301, toJson(TurnToPageData { m_classId, "m1", 0, 4 }));
    QTRY_COMPARE_WITH_TIMEOUT(board->unitCount(2), 1, 10000);
    // The classmate's stroke and turn never moved the board; the teacher's
    // turn does.
    QCOMPARE(board->currentPageIndex(), 0);
    m_teacher->command(QStringLiteral("next"));
    QTRY_COMPARE_WITH_TIMEOUT(board->currentPageIndex(), 1, 10000);
    QVERIFY(classmate.finish());
}

void TestWhiteboardPeers::studentStrokeAndErasureReachTheTeacher()
{
    WidgetWhiteBoard *board = m_session->board();
    board->on_btnPen_clicked();
    mouse(board, QEvent::MouseButtonPress, at(board, 0.2, 0.2), Qt::LeftButton, Qt::LeftButton);
    mouse(board, QEvent::MouseMove, at(board, 0.4, 0.3), Qt::NoButton, Qt::LeftButton);
    mouse(board, QEvent::MouseButtonRelease, at(board, 0.6, 0.5), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(board->unitCount(0), 1);
    QVERIFY(m_teacher->waitForLine(QStringLiteral("state page 0 units 0:1")));

    // The teacher draws too; the student's eraser takes only the student's.
    m_teacher->command(QStringLiteral("stroke 7000,7000 8000,8000"));
    QTRY_COMPARE_WITH_TIMEOUT(board->unitCount(0), 2, 10000);
    board->on_btnErase_clicked();
    QCOMPARE(board->unitCount(0), 1);
    QVERIFY(teacherState(QStringLiteral("state page 0 units 0:1")));

    // The teacher's eraser clears the page for the student too.
    m_teacher->command(QStringLiteral("erase"));
    QTRY_COMPARE_WITH_TIMEOUT(board->unitCount(0), 0, 10000);
}

QTEST_MAIN(TestWhiteboardPeers)
#include "tst_whiteboardpeers.moc"
