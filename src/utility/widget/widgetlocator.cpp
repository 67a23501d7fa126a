// Tells the RTC wrapper where a widget is shown, so that a widget can be
// shared like a window: the wrapper sits below the widget layer and only
// knows native windows.

#include "biz/im/agora/videosdk.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

bool locateWidget(QObject *object, quintptr *windowId, QRect *area)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return false;
    QWidget *topLevel = widget->window();
    *windowId = quintptr(topLevel->winId());
    *area = widget == topLevel ? QRect() : QRect(widget->mapTo(topLevel, QPoint(0, 0)), widget->size());
    return true;
}

void installWidgetLocator()
{
    VideoSDK::setWidgetLocator(&locateWidget);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installWidgetLocator)
