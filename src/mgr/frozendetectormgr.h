#ifndef FROZENDETECTORMGR_H
#define FROZENDETECTORMGR_H

#include "mgr/singletonmgrbase.h"

// The freeze watchdog of the GUI thread. Only its place in start-up and
// shutdown stands so far: it starts no thread yet.
class FrozenDetectorMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit FrozenDetectorMgr(QObject *parent = nullptr);
    ~FrozenDetectorMgr() override;

    static FrozenDetectorMgr *instance();

    // Starts watching; safe to run again in a later pass.
    void init() override;
    // Stops watching; safe to call when not running.
    void end();

private:
    bool m_running = false;
};

#endif // FROZENDETECTORMGR_H
