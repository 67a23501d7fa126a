#include "mgr/http/networkimagereplyholder.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/singleton.h"
#include "utility/appdirs.h"
#include "utility/downloadutil.h"
#include "utility/widget/imageutil.h"

#include <QFileInfo>
#include <QPointer>

NetworkImageReplyHolder::NetworkImageReplyHolder(QObject *parent,
                                                 NetWorkDownloadReplyHolder *holder,
                                                 QWidget *widget, const QString &loadingImage,
                                                 const QString &failureImage,
                                                 const QString &styleSheetSectionName, bool flag)
    : BaseReplyHolder(parent)
    , m_holder(holder)
    , m_widget(widget)
    , m_loadingImage(loadingImage)
    , m_failureImage(failureImage)
    , m_styleSheetSectionName(styleSheetSectionName)
    , m_flag(flag)
{
    if (!m_holder)
        return;
    connect(m_holder, &NetWorkDownloadReplyHolder::signal_onStart, this,
            &NetworkImageReplyHolder::slot_onStart);
    connect(m_holder, &NetWorkDownloadReplyHolder::signal_onSuccess, this,
            &NetworkImageReplyHolder::slot_onSuccess);
    connect(m_holder, &NetWorkDownloadReplyHolder::signal_onFailure, this,
            &NetworkImageReplyHolder::slot_onFailure);
    connect(m_holder, &NetWorkDownloadReplyHolder::signal_onFinish, this,
            &NetworkImageReplyHolder::slot_onFinish);
}

void NetworkImageReplyHolder::showIfExists(const QString &imagePath)
{
    if (imagePath.isEmpty() || !QFileInfo::exists(imagePath))
        return;
    if (!m_widget) {
        qWarning("widget is gone, image not shown:%s", qUtf8Printable(imagePath));
        return;
    }
    ImageUtil::setBackgroundImage(m_widget, m_styleSheetSectionName, imagePath, m_flag);
}

void NetworkImageReplyHolder::slot_onStart()
{
    showIfExists(m_loadingImage);
    emitStartOnce();
}

void NetworkImageReplyHolder::slot_onFinish()
{
    // The picture is still being decoded: the finish follows its success.
    if (m_decoding) {
        m_finishPending = true;
        return;
    }
    emitFinish();
}

void NetworkImageReplyHolder::slot_onSuccess(QString filePath)
{
    qInfo("signal_onSuccess filePath:%s", qUtf8Printable(filePath));
    if (!m_widget) {
        qWarning("widget is gone, image not shown:%s", qUtf8Printable(filePath));
        emit signal_onSuccess(filePath);
        return;
    }
    // Decoded off the GUI thread: the success is reported once it shows.
    m_decoding = true;
    ImageUtil::setBackgroundImageAsync(m_widget, m_styleSheetSectionName, filePath, m_flag, this,
                                       [this, filePath](bool) {
                                           m_decoding = false;
                                           const QPointer<NetworkImageReplyHolder> alive(this);
                                           emit signal_onSuccess(filePath);
                                           if (alive && m_finishPending) {
                                               m_finishPending = false;
                                               emitFinish();
                                           }
                                       });
}

void NetworkImageReplyHolder::slot_onFailure(int errorCode)
{
    showIfExists(m_failureImage);
    emitFailure(errorCode);
}

void NetworkImageReplyHolder::emitFailure(int errorCode)
{
    emit signal_onFailure(errorCode);
}

void NetworkImageReplyHolder::emitAbort()
{
    // The download's abort is not relayed: the picture simply stays.
}

// Declared with the other download entry points; defined here, with the
// holder it builds, because only widget code can show a picture.
NetworkImageReplyHolder *DownloadUtil::downloadImage(QObject *parent, const QString &url,
                                                     QWidget *widget,
                                                     const QString &styleSheetSectionName,
                                                     bool flag, const QString &failureImage,
                                                     const QString &loadingImage)
{
    qInfo("NetworkImageReplyHolder downloadImage url:%s", qUtf8Printable(url));
    if (!DownloadUtil::isWebAddress(url)) {
        // The address comes from a saved login or from a server: a local
        // file is shown (and its crop written beside it) only when it is
        // one of our own downloads.
        if (DownloadUtil::isDownloadedFile(url)) {
            qInfo("it's a local file");
            ImageUtil::setBackgroundImageAsync(widget, styleSheetSectionName, url, flag, widget, nullptr);
        } else {
            qWarning("picture address is neither http(s) nor a downloaded file, default picture kept:%s",
                     qUtf8Printable(url));
        }
        return nullptr;
    }
    NetWorkDownloadReplyHolder *holder =
        Singleton<HttpMgr>::instance()->download(parent, url, getDownloadImageDir());
    // Picture addresses come from other participants: a body beyond the
    // cap is refused before it fills the disk.
    if (holder) {
        holder->setMaxBytes(DownloadUtil::kMaxImageBytes);
        holder->setMaxDuration(DownloadUtil::kMaxImageDurationMs);
        // The image folder keeps within its bound once the picture is there.
        QObject::connect(holder, &NetWorkDownloadReplyHolder::signal_onSuccess, holder,
                         [] { DownloadUtil::trimImageFolderLater(); });
    }
    return new NetworkImageReplyHolder(parent, holder, widget, loadingImage, failureImage,
                                       styleSheetSectionName, flag);
}
