#ifndef NETWORKIMAGEREPLYHOLDER_H
#define NETWORKIMAGEREPLYHOLDER_H

#include <QPointer>
#include <QString>
#include <QWidget>

#include "mgr/http/basereplyholder.h"

class NetWorkDownloadReplyHolder;

// Shows a picture download in a widget: the loading picture when the
// download starts, the picture itself on success (decoded off the GUI
// thread; the success is relayed once it shows), the failure picture on
// failure, and relays the
// download's signals. It does not own the download holder; a widget that
// is gone by then is simply not painted. Start, success or failure, and
// finish are relayed in the download's order.
class NetworkImageReplyHolder : public BaseReplyHolder
{
    Q_OBJECT

public:
    NetworkImageReplyHolder(QObject *parent, NetWorkDownloadReplyHolder *holder, QWidget *widget,
                            const QString &loadingImage, const QString &failureImage,
                            const QString &styleSheetSectionName, bool flag);

signals:
    // signal_onStart and signal_onFinish come from BaseReplyHolder.
    void signal_onSuccess(QString filePath);
    void signal_onFailure(int errorCode);

public slots:
    void slot_onStart();
    void slot_onFinish();
    void slot_onSuccess(QString filePath);
    void slot_onFailure(int errorCode);

protected:
    void emitFailure(int errorCode) override;
    void emitAbort() override;

private:
    // Shows imagePath when it names an existing file.
    void showIfExists(const QString &imagePath);

    NetWorkDownloadReplyHolder *m_holder = nullptr;
    QPointer<QWidget> m_widget;
    QString m_loadingImage;
    QString m_failureImage;
    QString m_styleSheetSectionName;
    bool m_flag = false;
    // The downloaded picture is being decoded and its finish waits for it.
    bool m_decoding = false;
    bool m_finishPending = false;
};

#endif // NETWORKIMAGEREPLYHOLDER_H
