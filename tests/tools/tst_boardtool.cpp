// The board tool as scripts/board.sh runs it: a teacher's and a student's
// board in processes of their own, joined to one class over a real broker,
// the courseware downloaded from the stand-in lesson service. Each prints
// its log and the places of its buttons, joins the class, saves a picture
// of its window on SIGUSR1 that shows the courseware, keeps an action log
// as the clients do, and ends with status 0 when asked to (SIGTERM).

#include "actionlogreader.h"
#include "classroompeerprocess.h"
#include "lessonservice.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/types.h>

namespace {

const QSize kWindow(820, 660);

struct Board
{
    QString role;
    QString uid;
    QString shot;
    std::unique_ptr<ClassroomPeerProcess> process;
};

// True when the picture holds the white of a courseware page in its board
// area (the board's own colour is dark grey).
bool showsAPage(const QImage &picture)
{
    int white = 0;
    for (int y = 60; y < picture.height() - 80; y += 7) {
        for (int x = 20; x < picture.width() - 20; x += 7) {
            if (picture.pixel(x, y) == qRgb(255, 255, 255))
                ++white;
        }
    }
    return white > 1000;
}

} // namespace

class TestBoardTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void bothBoardsJoinShowAndEndWell();

private:
    bool startBoard(Board &board, int x);

    MosquittoBroker m_broker;
    LessonService m_service;
    QTemporaryDir m_dir;
};

void TestBoardTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_broker.start());
    QVERIFY(m_service.start());
    QVERIFY(m_broker.useInServersIni(m_service.serversIniPath()));
}

bool TestBoardTool::startBoard(Board &board, int x)
{
    board.shot = m_dir.filePath(board.role + QStringLiteral(".png"));
    board.process = std::make_unique<ClassroomPeerProcess>();
    const QString program = QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-board-") + board.role);
    return board.process->startProgram(
        program, { QStringLiteral("--uid"), board.uid, QStringLiteral("--class"), QStringLiteral("10001"),
                   QStringLiteral("--mqtt"), QStringLiteral("--url"), m_service.fixtureUrl(QStringLiteral("courseware.pdf")),
                   QStringLiteral("--pos"), QStringLiteral("%1,0").arg(x), QStringLiteral("--size"),
                   QStringLiteral("%1x%2").arg(kWindow.width()).arg(kWindow.height()), QStringLiteral("--shot"), board.shot });
}

void TestBoardTool::bothBoardsJoinShowAndEndWell()
{
    Board teacher{ QStringLiteral("teacher"), QStringLiteral("30001"), QString(), nullptr };
    Board student{ QStringLiteral("student"), QStringLiteral("20001"), QString(), nullptr };
    QVERIFY(startBoard(teacher, 0));
    QVERIFY(startBoard(student, 860));

    for (Board *board : { &teacher, &student }) {
        ClassroomPeerProcess &process = *board->process;
        // The buttons of the role's tool bar and the page turn, inside the window.
        QVERIFY(process.waitForLine([](const QString &line) { return line.startsWith(QLatin1String("page ")); }));
        QStringList buttons { QStringLiteral("btnPen"), QStringLiteral("btnErase"), QStringLiteral("btnColor"),
                              QStringLiteral("btnChat"), QStringLiteral("btnPrePage"), QStringLiteral("btnNextPage") };
        if (board->role == QLatin1String("teacher"))
            buttons << QStringLiteral("btnText");
        for (const QString &name : qAsConst(buttons)) {
            const QStringList at = process.linesStartingWith(QStringLiteral("at ") + name + QLatin1Char(' '));
            QVERIFY2(at.size() == 1, qPrintable(board->role + QLatin1Char(' ') + name));
            const QStringList parts = at.first().split(QLatin1Char(' '));
            const QPoint centre(parts.value(2).toInt(), parts.value(3).toInt());
            QVERIFY2(QRect(QPoint(0, 0), kWindow).contains(centre), qPrintable(at.first()));
        }

        // The picture on SIGUSR1 is the whole window with the courseware on
        // the board, once it has come.
        bool shown = false;
        for (int attempt = 0; attempt < 100 && !shown; ++attempt) {
            const int from = process.lineCount();
            ::kill(pid_t(process.pid()), SIGUSR1);
            QVERIFY(process.waitForLine(QStringLiteral("shot saved ") + board->shot, 10000, from));
            const QImage picture(board->shot);
            QCOMPARE(picture.size(), kWindow);
            shown = showsAPage(picture);
            if (!shown)
                QTest::qWait(100);
        }
        QVERIFY2(shown, qPrintable(board->role + QStringLiteral(" board shows no courseware page")));
    }

    // Asked to end, each leaves the class and ends well.
    for (Board *board : { &teacher, &student }) {
        ::kill(pid_t(board->process->pid()), SIGTERM);
        QVERIFY(board->process->finish());
    }

    // Each kept its logs in the role's log folder, the action log with
    // the start, the class joined on the broker and the end.
    for (Board *board : { &teacher, &student }) {
        const QStringList logLines = board->process->linesStartingWith(QStringLiteral("log "));
        QCOMPARE(logLines.size(), 1);
        const QString messageLog = logLines.first().mid(4);
        QVERIFY2(QFileInfo(messageLog).size() > 0, qPrintable(messageLog));
        QVERIFY(messageLog.contains(QStringLiteral("lessonry-board-") + board->role));
        QString actionPath = messageLog;
        actionPath.replace(QRegularExpression(QStringLiteral("\\.log$")), QStringLiteral(".action.log"));
        ActionLogReader actions;
        actions.readFrom(actionPath);
        QCOMPARE(actions.named(QStringLiteral("app_start")).size(), 1);
        QVERIFY(!actions.named(QStringLiteral("mqtt_login_success")).isEmpty());
        QCOMPARE(actions.named(QStringLiteral("app_close")).size(), 1);
    }
}

QTEST_MAIN(TestBoardTool)
#include "tst_boardtool.moc"
