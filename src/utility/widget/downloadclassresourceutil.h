#ifndef DOWNLOADCLASSRESOURCEUTIL_H
#define DOWNLOADCLASSRESOURCEUTIL_H

#include "utility/downloadresource.h"

#include <QObject>
#include <QPointer>
#include <QVector>

class QLabel;
class QPushButton;
class QTimer;

// Drives the resource download manager for one resource id and shows how
// far it got on a button ("Download", "Complete") or, in label mode, on a
// small label beside it.
class DownloadClassResourceUtil : public QObject
{
    Q_OBJECT

public:
    static constexpr int kProgressIntervalMs = 300;

    explicit DownloadClassResourceUtil(QObject *parent);
    ~DownloadClassResourceUtil() override;

    void init(QPushButton *button, QLabel *label, bool labelMode);
    // True while the manager downloads this object's resource.
    bool isDownloading() const;
    // Takes the resource and shows how much of it is already here.
    void refreshDownloadStatus(const QString &resourceId, const QVector<DownloadFileInfo> &files);
    // Hands the resource to the manager, replacing any running download.
    void start();

    QString resourceId() const { return m_resourceId; }
    // Share of the files already downloaded, 0 to 100.
    int presentPercent() const;

private:
    void showProgress();
    void onAbort(const QString &resourceId);

    QPointer<QPushButton> m_button;
    QPointer<QLabel> m_label;
    bool m_labelMode = false;
    QTimer *m_progressTimer;
    QString m_resourceId;
    QVector<DownloadFileInfo> m_files;
};

#endif // DOWNLOADCLASSRESOURCEUTIL_H
