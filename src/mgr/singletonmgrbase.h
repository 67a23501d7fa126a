#ifndef SINGLETONMGRBASE_H
#define SINGLETONMGRBASE_H

#include <QObject>

// Base of the process-wide managers. Start-up calls init() on each of them;
// a later pass of the restart loop calls it again on the same object, so
// every override must be safe to run more than once.
class SingletonMgrBase : public QObject
{
    Q_OBJECT

public:
    explicit SingletonMgrBase(QObject *parent = nullptr);
    ~SingletonMgrBase() override;

    virtual void init();
};

#endif // SINGLETONMGRBASE_H
