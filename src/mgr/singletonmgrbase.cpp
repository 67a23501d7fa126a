#include "singletonmgrbase.h"

SingletonMgrBase::SingletonMgrBase(QObject *parent)
    : QObject(parent)
{
}

SingletonMgrBase::~SingletonMgrBase() = default;

void SingletonMgrBase::init()
{
}
