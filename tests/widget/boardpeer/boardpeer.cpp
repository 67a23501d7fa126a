// One class participant's whiteboard in a process of its own, for tests and
// benchmarks that need a teacher and students on separate clients:
//
//   lessonry-board-peer-<role> --uid <uid> --class <classId> [--pdf <file>] [--log]
//
// (--log: the message and action logs are kept in the data folder, as the
// client keeps them.)
// It joins the class over the broker of the servers file in force and shows
// the board of its role (offscreen) on the stand-in lesson's courseware.
// Commands, one per line on standard input (positions in page fractions
// x10000 of the shown page):
//   stroke x,y x,y ...     draw with the pen, as a user would
//   text x,y <words>       put a text box there and commit it
//   next | prev | erase    the board's buttons
//   state                  report the board
//   quit
// Events, one per line on standard output:
//   inchannel
//   state page <index> units <page>:<count>,...
//   got <type> <sender> <µs>      a received whiteboard message reached the
//                                  board (wall clock when its handling ended)
//   painted <type> <sender> <µs>  a received whiteboard message is on screen
//                                  (µs: wall clock when that paint ended)
//   sent <µs>                      a stroke was finished and sent (wall clock)

#include "boardclasssupport.h"
#include "peercommandline.h"
#include "peercommandloop.h"

#include "biz/whiteboard/drawunit.h"
#include "mgr/message/sendandreceivemsg.h"
#include "widget/textinputbox.h"
#include "widget/widgetwhiteboard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextEdit>

#include <chrono>
#include <cstdio>

namespace {

qint64 wallMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void quietLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "board peer: %s\n", qUtf8Printable(message));
}

class Peer : public QObject
{
public:
    Peer(BoardClass &session)
        : m_session(session)
        , m_board(session.board())
        , m_commands([this] { m_session.leave(); })
    {
        m_commands.addWithArguments(QStringLiteral("stroke"), [this](const QString &points) {
            stroke(points.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        });
        m_commands.addWithArguments(QStringLiteral("text"), [this](const QString &arguments) {
            const QStringList words = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            text(words.first(), words.mid(1).join(QLatin1Char(' ')));
        });
        m_commands.add(QStringLiteral("next"), [this] { m_board->on_btnNextPage_clicked(); });
        m_commands.add(QStringLiteral("prev"), [this] { m_board->on_btnPrePage_clicked(); });
        m_commands.add(QStringLiteral("erase"), [this] { m_board->on_btnErase_clicked(); });
        // Every command line is answered with the board's state.
        m_commands.add(QStringLiteral("state"), [] {});
        m_commands.setAfterEach([this] { state(); });
        m_board->installEventFilter(this);
        SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
        // Connected after the board's own slots: the board has the unit when
        // these run.
        connect(messages, &SendAndReceiveMsg::signal_receiveDrawMsg, this,
                [this](ImMsgInfo info, DrawUnitData) { received(QStringLiteral("draw"), info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveWBTextMsg, this,
                [this](ImMsgInfo info, WBTextData) { received(QStringLiteral("text"), info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveErasureMsg, this,
                [this](ImMsgInfo info, ErasureData) { received(QStringLiteral("erase"), info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveTurnToPageMsg, this,
                [this](ImMsgInfo info, TurnToPageData) { received(QStringLiteral("page"), info.uid); });
        connect(&session, &BoardClass::inChannel, this, [] { PeerCommandLoop::writeLine(QStringLiteral("inchannel")); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_board && event->type() == QEvent::Paint && !m_waiting.isEmpty()) {
            // Reported once this paint is over.
            const QStringList waiting = m_waiting;
            m_waiting.clear();
            QMetaObject::invokeMethod(
                this,
                [waiting] {
                    const qint64 now = wallMicros();
                    for (const QString &what : waiting)
                        PeerCommandLoop::writeLine(QStringLiteral("painted %1 %2").arg(what).arg(now));
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    void received(const QString &type, const QString &sender)
    {
        PeerCommandLoop::writeLine(QStringLiteral("got %1 %2 %3").arg(type, sender).arg(wallMicros()));
        m_waiting << type + QLatin1Char(' ') + sender;
        m_board->update();
        state();
    }

    void state()
    {
        QStringList units;
        const auto &pages = m_board->drawUnits();
        for (auto it = pages.begin(); it != pages.end(); ++it)
            units << QStringLiteral("%1:%2").arg(it.key()).arg(it.value().size());
        PeerCommandLoop::writeLine(QStringLiteral("state page %1 units %2").arg(m_board->currentPageIndex()).arg(units.join(QLatin1Char(','))));
    }

    QPoint widgetPoint(const QString &fractions) const
    {
        const QSize page = m_board->pageImageSize();
        const double x = fractions.section(QLatin1Char(','), 0, 0).toDouble() / 10000;
        const double y = fractions.section(QLatin1Char(','), 1, 1).toDouble() / 10000;
        return m_board->currentPageOrigin() + QPoint(int(x * page.width()), int(y * page.height()));
    }

    void mouse(QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, pos, m_board->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(m_board, &event);
    }

    void click(const QPoint &pos)
    {
        mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
    }

    void stroke(const QStringList &points)
    {
        if (points.size() < 2)
            return;
        if (!m_board->isPenOn())
            m_board->on_btnPen_clicked();
        mouse(QEvent::MouseButtonPress, widgetPoint(points.first()), Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i < points.size(); ++i)
            mouse(QEvent::MouseMove, widgetPoint(points.at(i)), Qt::NoButton, Qt::LeftButton);
        const qint64 finished = wallMicros();
        mouse(QEvent::MouseButtonRelease, widgetPoint(points.last()), Qt::LeftButton, Qt::NoButton);
        PeerCommandLoop::writeLine(QStringLiteral("sent %1").arg(finished));
    }

    void text(const QString &at, const QString &words)
    {
        if (!m_board->isTextOn())
            m_board->on_btnText_clicked();
        click(widgetPoint(at));
        // Typed one character at a time, so the box grows as it would.
        if (TextInputBox *box = m_board->openTextBox()) {
            auto *edit = box->findChild<QTextEdit *>();
            for (const QChar character : words)
                edit->insertPlainText(QString(character));
        }
        click(widgetPoint(at));
    }

    BoardClass &m_session;
    WidgetWhiteBoard *m_board;
    PeerCommandLoop m_commands;
    QStringList m_waiting;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("Courseware file."), QStringLiteral("file"));
    PeerCommandLine arguments({ pdfOption });
    arguments.process(app);
    const BoardClass::Options options = peerBoardClassOptions(arguments);
    if (options.uid.isEmpty() || options.classId.isEmpty()) {
        fprintf(stderr, "usage: %s --uid <uid> --class <classId> [--pdf <file>]\n", argv[0]);
        return 2;
    }
    BoardClass session(options);
    WidgetWhiteBoard *board = session.board();
    board->resize(1190, 840);
    board->show();
    const QString pdf = arguments.parser().isSet(pdfOption) ? arguments.parser().value(pdfOption)
                                                : QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf");
    if (!board->openPdf(pdf)) {
        fprintf(stderr, "cannot open %s\n", qPrintable(pdf));
        return 1;
    }
    Peer peer(session);
    session.join();
    return app.exec();
}
