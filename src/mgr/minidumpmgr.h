#ifndef MINIDUMPMGR_H
#define MINIDUMPMGR_H

#include "mgr/singletonmgrbase.h"

// Crash dumps: written to the log folder when the program crashes.
class MiniDumpMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit MiniDumpMgr(QObject *parent = nullptr);
    ~MiniDumpMgr() override;

    static MiniDumpMgr *instance();

    // Installs the crash handler; safe to run again in a later pass.
    void init() override;

private:
    bool m_installed = false;
};

#endif // MINIDUMPMGR_H
