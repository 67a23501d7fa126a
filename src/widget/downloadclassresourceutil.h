#ifndef DOWNLOADCLASSRESOURCEUTIL_H
#define DOWNLOADCLASSRESOURCEUTIL_H

#include "utility/downloadresource.h"

#include <QObject>
#include <QPointer>
#include <QVector>

class QLabel;
class QPushButton;
class QTimer;

// Ties one download button of the teacher's course window, and in label
// mode a status label beside it, to the resource download manager: starts
// the download of one resource and shows whether it is not downloaded,
// downloading ("n%" on the button, or a turning picture on the label) or
// complete. The manager's resource id says whether it is downloading; the
// control keeps nothing else of its own.
class DownloadClassResourceUtil : public QObject
{
    Q_OBJECT

public:
    static constexpr int kAnimationIntervalMs = 300;
    static constexpr const char *kDownloadingImage = ":/image/class/downLodeing.png";
    static constexpr const char *kCompleteImage = ":/image/class/downloadFinish.png";

    explicit DownloadClassResourceUtil(QObject *parent);
    ~DownloadClassResourceUtil() override;

    // label may be null; labelMode shows progress on the label instead of
    // the button's text.
    void init(QPushButton *button, QLabel *label, bool labelMode);
    // Hands the resource to the manager, replacing any running download.
    void start();
    // Takes the resource and shows how much of it is already on disk.
    void refreshDownloadStatus(const QString &resourceId, const QVector<DownloadFileInfo> &files);
    // True while the manager downloads this control's resource.
    bool isDownloading() const;
    // "n%" on the button (button mode, own resource downloading only).
    void setDownloadLabelPercent(double percent);

    QString resourceId() const { return m_resourceId; }
    bool isAnimating() const;

    static QString downloadLook();
    static QString completeLook();

public slots:
    void slot_classdownload_onSuccess(const QString &resourceId);
    void slot_classdownload_onFailure(const QString &resourceId, int errorCode);
    void slot_abort(const QString &resourceId);
    void slot_timer_on_success();

private:
    void stepAnimation();
    void showComplete(bool showLabel);
    void setButtonLook(const QString &text, const QString &look);

    QPointer<QPushButton> m_button;
    QPointer<QLabel> m_label;
    bool m_labelMode = false;
    QTimer *m_animationTimer;
    QString m_resourceId;
    QVector<DownloadFileInfo> m_files;
};

#endif // DOWNLOADCLASSRESOURCEUTIL_H
