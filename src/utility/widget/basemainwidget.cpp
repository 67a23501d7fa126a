#include "utility/widget/basemainwidget.h"

#include "utility/widget/frameless.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

namespace {

QString address(const void *object)
{
    return QString::number(quintptr(object), 16);
}

} // namespace

BaseMainWidget::BaseMainWidget(QWidget *parent)
    : QFrame(parent)
    , m_frameLess(new FrameLess(this))
{
    qInfo("BaseMainWidget created:0x%s", qPrintable(address(this)));
    setAutoFillBackground(true);
    // From a pixmap: an icon made from a file name probes the file with
    // every image plug-in installed, loading each of them at start-up.
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/image/login/logo.png"))));

    QSize desktop;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualSize();
    m_frameLess->setMoveBounds(desktop.width(), desktop.height(), 50);
}

BaseMainWidget::~BaseMainWidget()
{
    qInfo("BaseMainWidget destructed:0x%s", qPrintable(address(this)));
    delete m_frameLess;
}

void BaseMainWidget::setMoveBounds(int width, int height, int margin)
{
    m_frameLess->setMoveBounds(width, height, margin);
}

void BaseMainWidget::setResizable(bool resizable)
{
    m_frameLess->setResizable(resizable);
}

void BaseMainWidget::closeEvent(QCloseEvent *event)
{
    qInfo("BaseMainWidget closeEvent:0x%s", qPrintable(address(this)));
    emit signal_close();
    event->accept();
}
