#include "widgetscreen.h"
#include "ui_widgetscreen.h"

#include "utility/widget/widgetcut.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

WidgetScreen::WidgetScreen(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::WidgetScreen)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    const QPixmap cursor(QStringLiteral(":/image/class/cutCursor.png"));
    setCursor(QCursor(cursor, cursor.width() / 2, cursor.height() / 2));
    ui->labelCutImage->hide();
}

WidgetScreen::~WidgetScreen()
{
    delete ui;
}

QRect WidgetScreen::selectionRect(const QPoint &press, const QPoint &current)
{
    return QRect(QPoint(qMin(press.x(), current.x()), qMin(press.y(), current.y())),
                 QSize(qAbs(current.x() - press.x()), qAbs(current.y() - press.y())));
}

void WidgetScreen::grabScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap grab = screen ? screen->grabWindow(0) : QPixmap();
    if (grab.isNull()) {
        qCritical("grabScreen: no screen picture, nothing to cut");
        // Told from the event loop, as a finished cut is: the caller has
        // connected to the tool and shown its own state by then.
        QTimer::singleShot(0, this, [this] { finish(QString()); });
        return;
    }
    m_screen = grab.toImage();
    m_screenOrigin = screen->geometry().topLeft();
    ui->widget->setPixmap(grab);
    setGeometry(screen->geometry());
    show();
    raise();
    activateWindow();
}

void WidgetScreen::finish(const QString &filePath)
{
    // One result per tool, whatever ends it.
    if (m_ended)
        return;
    m_ended = true;
    emit signal_quit(filePath);
    close();
}

void WidgetScreen::mousePressEvent(QMouseEvent *event)
{
    if (m_ended)
        return;
    m_pressPoint = event->globalPos();
}

void WidgetScreen::mouseMoveEvent(QMouseEvent *event)
{
    // A press at the screen's very first pixel counts as none.
    if (m_ended || m_pressPoint.isNull())
        return;
    ui->labelCutImage->show();
    m_redraw = true;
    m_currentPoint = event->globalPos();
    update();
}

void WidgetScreen::showSelection()
{
    const QRect rect = selection();
    // The label's 2 px border sits on the selection's left edge.
    const QImage cut = m_screen.copy(rect.translated(-m_screenOrigin).translated(2, 0));
    ui->labelCutImage->setPixmap(QPixmap::fromImage(cut));
    ui->labelCutImage->resize(rect.size());
    ui->labelCutImage->move(ui->widgetBackground->mapFromGlobal(rect.topLeft()));
    m_redraw = false;
}

void WidgetScreen::paintEvent(QPaintEvent *event)
{
    if (m_redraw)
        showSelection();
    QWidget::paintEvent(event);
}

void WidgetScreen::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_ended || m_currentPoint.isNull())
        return;
    setCursor(Qt::ArrowCursor);
    if (event->button() == Qt::RightButton) {
        qInfo("cut image click RightButton Quit!");
        finish(QString());
        return;
    }
    const QRect rect = selection();
    WidgetCut cut(nullptr);
    cut.setWindowModality(Qt::ApplicationModal);
    cut.setScreenImage(m_screen, m_screenOrigin);
    cut.setCutSize(rect.width(), rect.height());
    cut.move(rect.left(), rect.top() - WidgetCut::kLabelHeight);
    update();
    cut.show();
    connect(&cut, &WidgetCut::signal_move, this, &WidgetScreen::slot_cutMove);
    connect(&cut, &WidgetCut::signal_quit, this, &WidgetScreen::slot_cutQuit);
    QEventLoop loop;
    connect(&cut, &WidgetCut::signal_quit, &loop, &QEventLoop::quit);
    if (!cut.hasEnded())
        loop.exec(QEventLoop::DialogExec);
}

void WidgetScreen::keyReleaseEvent(QKeyEvent *event)
{
    qInfo("keyReleaseEvent!");
    if (event->key() == Qt::Key_Escape)
        finish(QString());
}

void WidgetScreen::slot_cutMove(QPoint topLeft, QPoint bottomRight)
{
    m_pressPoint = QPoint(topLeft.x(), topLeft.y() + WidgetCut::kLabelHeight);
    m_currentPoint = QPoint(bottomRight.x(), bottomRight.y() - WidgetCut::kToolBarHeight);
    m_redraw = true;
    update();
}

void WidgetScreen::slot_cutQuit(QString strFile)
{
    finish(strFile);
}
