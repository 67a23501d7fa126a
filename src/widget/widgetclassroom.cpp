#include "widgetclassroom.h"

#include "mgr/appcontext.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/translatelanguage.h"

#include <QCloseEvent>

WidgetClassRoom::WidgetClassRoom(QWidget *parent)
    : BaseMainWidget(parent)
{
    setWindowTitle(Translatelanguage::instance()->getText(QStringLiteral("Classroom")));
    SignalQueueMgr::instance()->signalClassroomOpen();
}

WidgetClassRoom::~WidgetClassRoom() = default;

QString WidgetClassRoom::getClassId() const
{
    return m_classId;
}

void WidgetClassRoom::closeEvent(QCloseEvent *event)
{
    Singleton<AppContext>::instance()->resetClassInfo();
    SignalQueueMgr::instance()->signalClassroomClose();
    BaseMainWidget::closeEvent(event);
}
