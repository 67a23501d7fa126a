#ifndef FROZENDETECTORMGR_H
#define FROZENDETECTORMGR_H

#include "mgr/singletonmgrbase.h"
#include "utility/frozendetectorutil.h"

// Owns the freeze watchdog of the GUI thread: started at start-up, stopped
// by the shutdown after the event loop has ended.
class FrozenDetectorMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit FrozenDetectorMgr(QObject *parent = nullptr);
    ~FrozenDetectorMgr() override;

    static FrozenDetectorMgr *instance();

    // Starts watching; a later pass of the restart loop starts it again.
    void init() override;
    // Stops watching; safe to call when not running.
    void end();

    bool isWatching() const;

private:
    FrozenDetectorUtil m_detector;
};

#endif // FROZENDETECTORMGR_H
