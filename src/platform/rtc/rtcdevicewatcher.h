#ifndef RTCDEVICEWATCHER_H
#define RTCDEVICEWATCHER_H

#include <QObject>
#include <QString>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

// Watches the folder where the system makes device nodes (normally /dev):
// cameras appear there as video<n>, sound cards under snd/. When the nodes
// change, it waits until the burst of changes settles (a plugged device
// makes several nodes, and the sound server needs a moment to take it up)
// and then says that the machine's devices may have changed.
class RtcDeviceWatcher : public QObject
{
    Q_OBJECT

public:
    explicit RtcDeviceWatcher(const QString &root, int settleMs, QObject *parent = nullptr);

    // The device nodes under root that tell cameras and sound cards, as
    // paths relative to root, sorted.
    static QStringList deviceNodes(const QString &root);

signals:
    void devicesChanged();

private:
    void folderChanged();
    void watchSoundFolder();

    QString m_root;
    QFileSystemWatcher *m_watcher;
    QTimer *m_settle;
    QStringList m_nodes;
};

#endif // RTCDEVICEWATCHER_H
