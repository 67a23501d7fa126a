// The student's and the teacher's whiteboards: the student follows the
// teacher's drawing but not other students', erasers of both roles, the
// teacher's page buttons turning the page for everybody, and the student's
// self-help tips after a problem report.

#include "actionlogreader.h"
#include "boardtestclass.h"

#include "utility/actionlog.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/whiteboardmsgutil.h"
#include "mgr/signalqueuemgr.h"
#include "utility/appdirs.h"
#include "utility/userinfo.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/student/widgethelpdeskstudent.h"
#include "widget/student/widgetwhiteboardstudent.h"
#include "widget/teacher/widgethelpdeskteacher.h"
#include "widget/teacher/widgetwhiteboardteacher.h"
#include "widget/widgethelpremind.h"

#include <QFile>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

DrawUnitData stroke(int page)
{
    DrawElement element;
    element.page = page;
    element.type = 1;
    element.size = 3;
    element.ptArray = { 0, WhiteboardMsgUtil::packPoint({ 5000, 5000 }) };
    return WhiteboardMsgUtil::toDrawUnitData(WhiteboardMsgUtil::toDrawObjectDetail(element), "10001", "m1");
}

WBTextData text(int page)
{
    return WBTextData { "10001", page, 0, { 0, WhiteboardMsgUtil::packPoint({ 3000, 1000 }) }, "DejaVu Sans", 400, "hi" };
}

template<typename Board>
std::unique_ptr<Board> openBoard(UserList &roster)
{
    auto board = std::make_unique<Board>();
    board->setPrerenderEnabled(false);
    board->setClassInfo(&roster, "10001");
    board->resize(1190, 840);
    board->show();
    if (!board->openPdf(kCourseware))
        return nullptr;
    return board;
}

int sentCount(const ActionLogReader &log, const QString &type)
{
    return log.named(QStringLiteral("im_send_") + type).size();
}

} // namespace

class TestWhiteboardRoles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void studentFollowsTheTeachersDrawing();
    void studentErasesOnlyItsOwn();
    void teacherErasesEverybodys();
    void teacherPageButtonsTurnForEverybody();
    void teacherHelpdeskGetsTheRoster();

    void tipsOfIssueTypes_data();
    void tipsOfIssueTypes();
    void helpdeskButtonWhileTipsShow();
    void readFileReadsTheWholeFile_data();
    void readFileReadsTheWholeFile();

private:
    // A tip file as the client ships it beside the program.
    static QString shippedTip(int number);

    QTemporaryDir m_dir;
    ActionLogReader m_log;
    UserList m_roster;
};

void TestWhiteboardRoles::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestWhiteboardRoles::init()
{
    static int run = 0;
    QVERIFY(ActionLog::instance()->init(m_log.use(m_dir.filePath(QStringLiteral("action%1.log").arg(++run)))));
}

QString TestWhiteboardRoles::shippedTip(int number)
{
    QFile file(QStringLiteral(LESSONRY_SOURCE_DIR "/src/resources/SelfRescue%1.html").arg(number));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void TestWhiteboardRoles::studentFollowsTheTeachersDrawing()
{
    fillRoster(m_roster, kStudent);
    auto board = openBoard<WidgetWhiteBoardStudent>(m_roster);
    QVERIFY(board);
    // Another student's stroke on page 3: stored, but the board stays.
    board->slot_receiveDrawMsg({ QString(), kClassmate }, stroke(3));
    QCOMPARE(board->currentPageIndex(), 0);
    QCOMPARE(board->unitCount(2), 1);
    // The teacher's stroke on page 3 brings the student there.
    board->slot_receiveDrawMsg({ QString(), kTeacher }, stroke(3));
    QCOMPARE(board->currentPageIndex(), 2);
    QCOMPARE(board->unitCount(2), 2);
    // And the teacher's text on page 2.
    board->slot_receiveWBTextMsg({ QString(), kTeacher }, text(2));
    QCOMPARE(board->currentPageIndex(), 1);
    QCOMPARE(board->unitCount(1), 1);
    // A broken text neither stores nor moves.
    WBTextData broken = text(4);
    broken.rect = { 1 };
    board->slot_receiveWBTextMsg({ QString(), kTeacher }, broken);
    QCOMPARE(board->currentPageIndex(), 1);
}

void TestWhiteboardRoles::studentErasesOnlyItsOwn()
{
    fillRoster(m_roster, kStudent);
    auto board = openBoard<WidgetWhiteBoardStudent>(m_roster);
    QVERIFY(board);
    board->slot_receiveDrawMsg({ QString(), kClassmate }, stroke(1));
    board->slot_receiveDrawMsg({ QString(), kStudent }, stroke(1));
    board->slot_receiveWBTextMsg({ QString(), kStudent }, text(1));
    board->slot_receiveDrawMsg({ QString(), kStudent }, stroke(2));
    board->on_btnErase_clicked();
    QCOMPARE(board->unitCount(0), 1);
    QCOMPARE(board->drawUnits().value(0).first()->getOwnerUid(), kClassmate);
    QCOMPARE(board->unitCount(1), 1);
    const auto records = m_log.named("im_send_WBErasure");
    QCOMPARE(records.size(), 1);
    QCOMPARE(QJsonDocument::fromJson(records.first().info.toUtf8()).object().value("data").toObject().value("toPage").toInt(), 1);
}

void TestWhiteboardRoles::teacherErasesEverybodys()
{
    fillRoster(m_roster, kTeacher);
    auto board = openBoard<WidgetWhiteBoardTeacher>(m_roster);
    QVERIFY(board);
    board->slot_receiveDrawMsg({ QString(), kClassmate }, stroke(1));
    board->slot_receiveDrawMsg({ QString(), kStudent }, stroke(1));
    board->slot_receiveDrawMsg({ QString(), kStudent }, stroke(2));
    // The teacher's board does not follow anybody.
    QCOMPARE(board->currentPageIndex(), 0);
    board->on_btnErase_clicked();
    QCOMPARE(board->unitCount(0), 0);
    QVERIFY(!board->drawUnits().contains(0));
    QCOMPARE(board->unitCount(1), 1);
    QCOMPARE(sentCount(m_log, "WBErasure"), 1);
}

void TestWhiteboardRoles::teacherPageButtonsTurnForEverybody()
{
    fillRoster(m_roster, kTeacher);
    auto board = openBoard<WidgetWhiteBoardTeacher>(m_roster);
    QVERIFY(board);
    // On the first page the previous button sends nothing.
    board->on_btnPrePage_clicked();
    QCOMPARE(sentCount(m_log, "WBPage"), 0);
    board->on_btnNextPage_clicked();
    QCOMPARE(board->currentPageIndex(), 1);
    auto records = m_log.named("im_send_WBPage");
    QCOMPARE(records.size(), 1);
    const QJsonObject turn = QJsonDocument::fromJson(records.first().info.toUtf8()).object().value("data").toObject();
    QCOMPARE(turn.value("toPage").toInt(), 2);
    QCOMPARE(turn.value("prePage").toInt(), 0);
    QCOMPARE(turn.value("classid").toString(), QString("10001"));
    // The arrow keys the class page hands on over the signal bus reach the
    // teacher's buttons through the base board: they turn for everybody.
    const auto press = [](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        SignalQueueMgr::instance()->signalKeyEvent(&event);
    };
    press(Qt::Key_Right);
    QCOMPARE(board->currentPageIndex(), 2);
    records = m_log.named("im_send_WBPage");
    QCOMPARE(records.size(), 2);
    QCOMPARE(QJsonDocument::fromJson(records.last().info.toUtf8()).object().value("data").toObject().value("toPage").toInt(), 3);
    QVERIFY(board->gotoPage(3));
    press(Qt::Key_Right);
    QCOMPARE(sentCount(m_log, "WBPage"), 2); // the last page: nothing
    press(Qt::Key_Left);
    QCOMPARE(board->currentPageIndex(), 2);
    records = m_log.named("im_send_WBPage");
    QCOMPARE(records.size(), 3);
    QCOMPARE(QJsonDocument::fromJson(records.last().info.toUtf8()).object().value("data").toObject().value("toPage").toInt(), 3);

    // A page change that fails sends nothing, even where the page exists.
    board->closeMaterial();
    board->on_btnNextPage_clicked();
    press(Qt::Key_Right);
    QCOMPARE(sentCount(m_log, "WBPage"), 3);
}

void TestWhiteboardRoles::teacherHelpdeskGetsTheRoster()
{
    fillRoster(m_roster, kTeacher);
    WidgetWhiteBoardTeacher board;
    board.setClassInfo(&m_roster, "10001");
    QCOMPARE(board.helpdeskWindow()->participantCount(), 3);
    QCOMPARE(board.helpdeskWindow()->classId(), QString("10001"));
    QVERIFY(board.helpdeskWindow()->isHidden());
    board.show();
    board.on_btnHelpdesk_clicked();
    QVERIFY(board.helpdeskWindow()->isVisible());
    QCOMPARE(m_log.named("click_helpdesk").size(), 1);
}

void TestWhiteboardRoles::tipsOfIssueTypes_data()
{
    QTest::addColumn<QVector<int>>("issues");
    QTest::addColumn<QVector<int>>("tipNumbers"); // empty: the thank-you toast
    QTest::newRow("1 and 2 share tip 0") << QVector<int> { 2, 1 } << QVector<int> { 0 };
    QTest::newRow("4 then 3 give tips 1, 2") << QVector<int> { 4, 3 } << QVector<int> { 1, 2 };
    QTest::newRow("all three, ascending") << QVector<int> { 3, 6, 4, 1 } << QVector<int> { 0, 1, 2 };
    QTest::newRow("other only thanks") << QVector<int> { 6 } << QVector<int> {};
    QTest::newRow("unknown type thanks") << QVector<int> { 5 } << QVector<int> {};
    QTest::newRow("nothing ticked thanks") << QVector<int> {} << QVector<int> {};
}

void TestWhiteboardRoles::tipsOfIssueTypes()
{
    QFETCH(QVector<int>, issues);
    QFETCH(QVector<int>, tipNumbers);
    fillRoster(m_roster, kStudent);
    WidgetWhiteBoardStudent board;
    board.setClassInfo(&m_roster, "10001");
    QCOMPARE(board.helpdeskWindow()->classId(), QString("10001"));
    // The tips the client ships, read from beside the program.
    QCOMPARE(board.tips().size(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!shippedTip(i).isEmpty());
        QCOMPARE(board.tips().value(i), shippedTip(i));
    }
    board.show();
    board.slot_helpdeskSent(issues);
    const QList<promptMessageWidget *> toasts = board.findChildren<promptMessageWidget *>();
    if (tipNumbers.isEmpty()) {
        QVERIFY(!board.helpRemindWindow());
        QCOMPARE(toasts.size(), 1);
        QCOMPARE(toasts.first()->shownText(), QStringLiteral("您已成功发送信息，感谢您的反馈!"));
        return;
    }
    QVERIFY(toasts.isEmpty());
    QString expected;
    for (int number : qAsConst(tipNumbers))
        expected += shippedTip(number);
    QVERIFY(board.helpRemindWindow());
    QVERIFY(board.helpRemindWindow()->isVisible());
    QVERIFY(board.helpRemindWindow()->remindText().endsWith(expected));
}

void TestWhiteboardRoles::helpdeskButtonWhileTipsShow()
{
    fillRoster(m_roster, kStudent);
    WidgetWhiteBoardStudent board;
    board.show();
    board.slot_helpdeskSent({ 3 });
    board.on_btnHelpdesk_clicked();
    QVERIFY(board.helpdeskWindow()->isHidden());
    QCOMPARE(m_log.named("click_helpdesk").size(), 0);
    board.helpRemindWindow()->hide();
    board.on_btnHelpdesk_clicked();
    QVERIFY(board.helpdeskWindow()->isVisible());
}

void TestWhiteboardRoles::readFileReadsTheWholeFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one byte") << QByteArray("x") << "x";
    QTest::newRow("utf-8, last byte kept") << QByteArray("<b>你好</b>") << QString::fromUtf8("<b>你好</b>");
    QTest::newRow("stops at a zero byte") << QByteArray("ab\0cd", 5) << "ab";
    QTest::newRow("empty file, no tip") << QByteArray() << QString();
}

void TestWhiteboardRoles::readFileReadsTheWholeFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath("tip.html");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    QCOMPARE(WidgetWhiteBoardStudent::readFile(path), expected);
    QCOMPARE(WidgetWhiteBoardStudent::readFile(m_dir.filePath("missing.html")), QString());
}

QTEST_MAIN(TestWhiteboardRoles)
#include "tst_whiteboardroles.moc"
