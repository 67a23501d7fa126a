#include "upgrademgr.h"

#include "mgr/singleton.h"

#include <QDebug>

UpgradeMgr::UpgradeMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

UpgradeMgr::~UpgradeMgr() = default;

UpgradeMgr *UpgradeMgr::instance()
{
    return Singleton<UpgradeMgr>::instance();
}

void UpgradeMgr::init()
{
    qInfo("UpgradeMgr init");
}

void UpgradeMgr::setPromptWidget(QWidget *widget)
{
    m_promptWidget = widget;
}

void UpgradeMgr::clearPromptWidget(QWidget *widget)
{
    if (m_promptWidget == widget)
        m_promptWidget = nullptr;
    else
        qInfo("diffrent prompt widget");
}

QWidget *UpgradeMgr::promptWidget() const
{
    return m_promptWidget;
}

void UpgradeMgr::goCheck()
{
    qInfo("goCheck");
}
