#ifndef GLOBALDATAMGR_H
#define GLOBALDATAMGR_H

#include "mgr/singletonmgrbase.h"

class ClassWidget;

// Holds the class page that is open, for those that need to reach it.
class GlobalDataMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit GlobalDataMgr(QObject *parent = nullptr);

    // Not owned; null when no class page is open.
    void setCurrentClassWidget(ClassWidget *widget);
    ClassWidget *getCurrentClassWidget() const;

private:
    ClassWidget *m_currentClassWidget = nullptr;
};

#endif // GLOBALDATAMGR_H
