#include "globaldatamgr.h"

#include <QDebug>

GlobalDataMgr::GlobalDataMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

void GlobalDataMgr::setCurrentClassWidget(ClassWidget *widget)
{
    qInfo("setCurrentClassWidget:0x%llx", static_cast<unsigned long long>(reinterpret_cast<quintptr>(widget)));
    m_currentClassWidget = widget;
}

ClassWidget *GlobalDataMgr::getCurrentClassWidget() const
{
    return m_currentClassWidget;
}
