#ifndef MINIDUMPMGR_H
#define MINIDUMPMGR_H

#include "mgr/singletonmgrbase.h"

// Crash dumps, written to the log folder when the program crashes. Only its
// place in start-up stands so far; the dump writer comes with diagnostics.
class MiniDumpMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit MiniDumpMgr(QObject *parent = nullptr);
    ~MiniDumpMgr() override;

    static MiniDumpMgr *instance();

    void init() override;
};

#endif // MINIDUMPMGR_H
