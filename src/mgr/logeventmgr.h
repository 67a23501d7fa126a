#ifndef LOGEVENTMGR_H
#define LOGEVENTMGR_H

#include "mgr/singletonmgrbase.h"

#include <QString>

// Event reports to the server.
class LogEventMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit LogEventMgr(QObject *parent = nullptr);
    ~LogEventMgr() override;

    static LogEventMgr *instance();

    // "win/<role word>/<client version>/event": the type of every event record.
    QString eventPath() const;
};

#endif // LOGEVENTMGR_H
