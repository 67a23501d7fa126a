#include "rtcdevicewatcher.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

const char kSoundFolder[] = "snd";

} // namespace

RtcDeviceWatcher::RtcDeviceWatcher(const QString &root, int settleMs, QObject *parent)
    : QObject(parent)
    , m_root(root)
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
    , m_nodes(deviceNodes(root))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(settleMs);
    connect(m_settle, &QTimer::timeout, this, &RtcDeviceWatcher::devicesChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &RtcDeviceWatcher::folderChanged);
    if (QDir(root).exists())
        m_watcher->addPath(root);
    watchSoundFolder();
}

QStringList RtcDeviceWatcher::deviceNodes(const QString &root)
{
    QStringList nodes;
    const QDir folder(root);
    const QDir::Filters entries = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
    for (const QString &name : folder.entryList({ QStringLiteral("video*") }, entries, QDir::Name))
        nodes.append(name);
    const QDir sound(folder.filePath(QLatin1String(kSoundFolder)));
    for (const QString &name : sound.entryList(entries, QDir::Name))
        nodes.append(QLatin1String(kSoundFolder) + QLatin1Char('/') + name);
    return nodes;
}

void RtcDeviceWatcher::watchSoundFolder()
{
    // The sound folder comes with the first sound card and may go with
    // the last one; a watch on a folder that is gone is dropped.
    const QString sound = QDir(m_root).filePath(QLatin1String(kSoundFolder));
    if (QDir(sound).exists() && !m_watcher->directories().contains(sound))
        m_watcher->addPath(sound);
}

void RtcDeviceWatcher::folderChanged()
{
    watchSoundFolder();
    // Most changes of the root are other devices (terminals, disks,
    // input): only camera and sound nodes count.
    const QStringList nodes = deviceNodes(m_root);
    if (nodes == m_nodes)
        return;
    m_nodes = nodes;
    m_settle->start();
}
