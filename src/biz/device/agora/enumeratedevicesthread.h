#ifndef ENUMERATEDEVICESTHREAD_H
#define ENUMERATEDEVICESTHREAD_H

#include <QThread>

// The device service's two workers: one lists every device, the other
// reads the devices in use. One thread object per job serves the whole
// run of the program; it is started again for each request.
class DevicesOperateThread : public QThread
{
    Q_OBJECT

public:
    using QThread::QThread;

    // Kind 0 makes the enumeration worker, any other kind the
    // current-device worker.
    static DevicesOperateThread *create(int kind, QObject *parent);

protected:
    void run() override {}
};

class EnumRateDevicesThread : public DevicesOperateThread
{
    Q_OBJECT

public:
    using DevicesOperateThread::DevicesOperateThread;
    ~EnumRateDevicesThread() override;

protected:
    void run() override;
};

class GetCurrentDevicesThread : public DevicesOperateThread
{
    Q_OBJECT

public:
    using DevicesOperateThread::DevicesOperateThread;

protected:
    void run() override;
};

#endif // ENUMERATEDEVICESTHREAD_H
