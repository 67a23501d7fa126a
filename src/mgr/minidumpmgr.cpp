#include "minidumpmgr.h"

#include "mgr/singleton.h"

#include <QDebug>

MiniDumpMgr::MiniDumpMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

MiniDumpMgr::~MiniDumpMgr() = default;

MiniDumpMgr *MiniDumpMgr::instance()
{
    return Singleton<MiniDumpMgr>::instance();
}

void MiniDumpMgr::init()
{
    qInfo("MiniDumpMgr init");
}
