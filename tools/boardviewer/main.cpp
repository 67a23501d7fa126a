// Shows the whiteboard of one participant of a class, with the role's tool
// bar and the pen colour palette, until the classroom window hosts them:
//
//   lessonry-board-<role> --uid <uid> --class <classId>
//                         [--pdf <file> | --url <courseware url>]
//                         [--mqtt] [--shot <file.png>] [--size <w>x<h>]
//                         [--pos <x>,<y>]
//
// --mqtt joins the class on the broker of the servers file in force, so a
// teacher's and a student's board mirror each other. On start it prints
// where its buttons are ("at <name> <x> <y>", window coordinates), for
// scripts that drive it with xdotool; SIGUSR1 saves a picture of the window
// to the --shot file.

#include "boardclass.h"

#include "buildconstants.h"
#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "platform/terminationsignals.h"
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "widget/classwidget.h"
#include "widget/student/widgetinteractionstudent.h"
#include "widget/teacher/widgetinteractionteacher.h"
#include "widget/widgetcolorpallet.h"
#include "widget/widgetwhiteboard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>

#include <csignal>
#include <functional>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = { -1, -1 };

void onUsr1(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void printAt(const QString &name, QWidget *widget, QWidget *window)
{
    if (!widget || widget->isHidden())
        return;
    const QPoint centre = widget->mapTo(window, widget->rect().center());
    std::printf("at %s %d %d\n", qPrintable(name), centre.x(), centre.y());
}

// The class page the tool bar is made on: the bar connects its buttons to
// the page it is given, as in the classroom. The page's own form is the
// classroom's, so the page is never shown; the bar lives in the tool's
// window.
class BoardPage : public ClassWidget
{
public:
    BoardPage(WidgetWhiteBoard *board, std::function<void()> showPalette)
        : m_board(board)
        , m_showPalette(std::move(showPalette))
    {
    }

    WidgetWhiteBoard *getWhiteBoard() const override { return m_board; }
    void on_btnColor_clicked() override { m_showPalette(); }

private:
    WidgetWhiteBoard *m_board;
    std::function<void()> m_showPalette;
};

// The tool's window: the board above, the role's tool bar below, the
// palette over them on the colour button.
class BoardWindow : public QWidget
{
public:
    explicit BoardWindow(WidgetWhiteBoard *board)
        : m_page(board, [this] { showPalette(); })
    {
        setObjectName(QStringLiteral("BoardWindow"));
        setStyleSheet(QStringLiteral("QWidget#BoardWindow{background-color: rgb(70, 68, 68);}"));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(board, 1);
        if (getClientRole() == 1)
            m_bar = new WidgetInteractionStudent(&m_page);
        else
            m_bar = new WidgetInteractionTeacher(&m_page);
        layout->addWidget(m_bar, 0, Qt::AlignHCenter);

        m_palette = new WidgetColorPallet(this);
        m_palette->hide();
        connect(m_palette, &WidgetColorPallet::getColor, board, &WidgetWhiteBoard::setColor);
        connect(m_palette, &WidgetColorPallet::signal_getColorIndex, m_bar, &WidgetInteraction::slot_setColorBtnImg);
        connect(board, &WidgetWhiteBoard::signal_setClickedTextBtn, m_bar, &WidgetInteraction::slot_setClickedTextBtn);
        connect(board, &WidgetWhiteBoard::signal_setClickedPenBtn, m_bar, &WidgetInteraction::slot_setClickedPenBtn);
        connect(board, &WidgetWhiteBoard::signal_setEnablePenBtn, m_bar, &WidgetInteraction::slot_setEnablePenBtn);
    }

    ~BoardWindow() override
    {
        // The board belongs to the session, the bar to the window.
        layout()->removeWidget(m_page.getWhiteBoard());
        m_page.getWhiteBoard()->setParent(nullptr);
        delete m_bar;
    }

    WidgetInteraction *bar() const { return m_bar; }

private:
    void showPalette()
    {
        m_palette->resize(m_palette->sizeHint().expandedTo(QSize(320, 230)));
        m_palette->move((width() - m_palette->width()) / 2, height() - m_bar->height() - m_palette->height());
        m_palette->show();
        m_palette->raise();
    }

    BoardPage m_page;
    WidgetInteraction *m_bar = nullptr;
    WidgetColorPallet *m_palette = nullptr;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption uidOption(QStringLiteral("uid"), QStringLiteral("Own uid."), QStringLiteral("uid"));
    const QCommandLineOption classOption(QStringLiteral("class"), QStringLiteral("Class id."), QStringLiteral("id"),
                                         QStringLiteral("10001"));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("Courseware file."), QStringLiteral("file"));
    const QCommandLineOption urlOption(QStringLiteral("url"), QStringLiteral("Courseware address."), QStringLiteral("url"));
    const QCommandLineOption mqttOption(QStringLiteral("mqtt"), QStringLiteral("Join the class on the broker."));
    const QCommandLineOption shotOption(QStringLiteral("shot"), QStringLiteral("Picture saved on SIGUSR1."),
                                        QStringLiteral("file"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Window size."), QStringLiteral("WxH"),
                                        QStringLiteral("820x660"));
    const QCommandLineOption posOption(QStringLiteral("pos"), QStringLiteral("Window position."), QStringLiteral("X,Y"));
    parser.addOptions({ uidOption, classOption, pdfOption, urlOption, mqttOption, shotOption, sizeOption, posOption });
    parser.process(app);
    // The message and action logs, in the log folder, as the clients keep them.
    Singleton<LogMgr>::instance()->init();
    std::printf("log %s\n", qPrintable(Singleton<LogMgr>::instance()->logFilePath()));
    std::fflush(stdout);
    ActionLog::instance()->NormalInfo(QStringLiteral("app_start"), QStringLiteral("{%1}").arg(QCoreApplication::applicationName()));

    BoardClass::Options options;
    options.uid = parser.value(uidOption);
    options.classId = parser.value(classOption);
    if (options.uid.isEmpty())
        options.uid = getClientRole() == 1 ? QStringLiteral("20001") : options.teacherUid;
    BoardClass session(options);
    WidgetWhiteBoard *board = session.board();

    BoardWindow page(board);
    page.setWindowTitle(QStringLiteral("Lessonry board - %1 %2")
                            .arg(session.isTeacher() ? QStringLiteral("teacher") : QStringLiteral("student"), options.uid));
    const QStringList size = parser.value(sizeOption).split(QLatin1Char('x'));
    page.resize(size.value(0).toInt() > 0 ? size.value(0).toInt() : 820, size.value(1).toInt() > 0 ? size.value(1).toInt() : 660);
    if (parser.isSet(posOption)) {
        const QStringList pos = parser.value(posOption).split(QLatin1Char(','));
        page.move(pos.value(0).toInt(), pos.value(1).toInt());
    }
    page.show();

    if (parser.isSet(pdfOption) && !board->openPdf(parser.value(pdfOption)))
        std::fprintf(stderr, "cannot open %s\n", qPrintable(parser.value(pdfOption)));
    if (parser.isSet(urlOption)) {
        board->setMaterialInfo(QStringLiteral("m1"), parser.value(urlOption), QString());
        board->downloadPdf();
    }

    const QString shot = parser.value(shotOption);
    std::unique_ptr<QSocketNotifier> shots;
    if (!shot.isEmpty() && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        shots.reset(new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read));
        QObject::connect(shots.get(), &QSocketNotifier::activated, [&page, shot] {
            char byte;
            [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[0], &byte, 1);
            const bool saved = page.grab().save(shot);
            std::printf("shot %s %s\n", saved ? "saved" : "failed", qPrintable(shot));
            std::fflush(stdout);
        });
        std::signal(SIGUSR1, onUsr1);
    }

    QObject::connect(&session, &BoardClass::inChannel, [] {
        std::printf("inchannel\n");
        std::fflush(stdout);
    });
    if (parser.isSet(mqttOption))
        session.join();

    // Where the buttons are, once the layouts have placed them.
    QTimer::singleShot(0, &page, [&page, board] {
        for (const char *name : { "btnPen", "btnText", "btnErase", "btnColor", "btnChat" })
            printAt(QString::fromLatin1(name), page.bar()->findChild<QPushButton *>(QString::fromLatin1(name)), &page);
        for (const char *name : { "btnPrePage", "btnNextPage", "btnZoomIn", "btnZoomOut" })
            printAt(QString::fromLatin1(name), board->findChild<QPushButton *>(QString::fromLatin1(name)), &page);
        const QPoint origin = board->mapTo(&page, board->currentPageOrigin());
        std::printf("page %d %d %d %d\n", origin.x(), origin.y(), board->pageImageSize().width(),
                    board->pageImageSize().height());
        std::fflush(stdout);
    });

    // Ended from outside (board.sh, a test, Ctrl+C) as by its own quit.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::signal_terminationRequested, &app, &QCoreApplication::quit);

    const int code = app.exec();
    if (parser.isSet(mqttOption))
        session.leave();
    ActionLog::instance()->NormalInfo(QStringLiteral("app_close"), QStringLiteral("{}"));
    return code;
}
