#ifndef HOLDERRECORDER_H
#define HOLDERRECORDER_H

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"

// Writes every signal of a holder as one short text, in the order they
// came ("start", "success", "failure:-203", "finish", "abort"), so a test
// compares the whole sequence at once. "progress" entries are kept apart.
class HolderRecorder : public QObject
{
public:
    explicit HolderRecorder(NetWorkReplyHolder *holder)
    {
        connect(holder, &NetWorkReplyHolder::signal_onStart, this, [this] { add("start"); });
        connect(holder, &NetWorkReplyHolder::signal_onSuccess, this, [this](const QString &body) {
            this->body = body;
            add("success");
        });
        connect(holder, &NetWorkReplyHolder::signal_onFailure, this,
                [this](int code) { add(QStringLiteral("failure:%1").arg(code)); });
        connect(holder, &NetWorkReplyHolder::signal_onFinish, this, [this] { add("finish"); });
        connect(holder, &NetWorkReplyHolder::signal_onAbort, this, [this] { add("abort"); });
        connect(holder, &NetWorkReplyHolder::signal_downloadProgress, this,
                [this](qlonglong, qlonglong) { ++progressCount; });
    }

    explicit HolderRecorder(EntityNetworkReplyHolder *holder)
    {
        connect(holder, &EntityNetworkReplyHolder::signal_onStart, this, [this] { add("start"); });
        connect(holder, &EntityNetworkReplyHolder::signal_onRawSuccess, this,
                [this](const QString &body) {
                    rawBody = body;
                    add("raw");
                });
        connect(holder, &EntityNetworkReplyHolder::signal_onSuccess, this,
                [this](const QString &body) {
                    this->body = body;
                    add("success");
                });
        connect(holder, &EntityNetworkReplyHolder::signal_onFailure, this,
                [this](const BaseEntity &entity) {
                    failure = entity;
                    add(QStringLiteral("failure:%1").arg(entity.errorCode));
                });
        connect(holder, &EntityNetworkReplyHolder::signal_onFinish, this, [this] { add("finish"); });
        connect(holder, &EntityNetworkReplyHolder::signal_onAbort, this, [this] { add("abort"); });
    }

    explicit HolderRecorder(NetWorkDownloadReplyHolder *holder)
    {
        connect(holder, &NetWorkDownloadReplyHolder::signal_onStart, this, [this] { add("start"); });
        connect(holder, &NetWorkDownloadReplyHolder::signal_onSuccess, this,
                [this](const QString &path) {
                    filePath = path;
                    add("success");
                });
        connect(holder, &NetWorkDownloadReplyHolder::signal_onFailure, this,
                [this](int code) { add(QStringLiteral("failure:%1").arg(code)); });
        connect(holder, &NetWorkDownloadReplyHolder::signal_onFinish, this, [this] { add("finish"); });
        connect(holder, &NetWorkDownloadReplyHolder::signal_abort, this, [this] { add("abort"); });
        connect(holder, &NetWorkDownloadReplyHolder::signal_downloadProgress, this,
                [this](double percent, qlonglong, qlonglong) {
                    ++progressCount;
                    lastPercent = percent;
                });
    }

    // True once a signal that ends the request has arrived.
    bool ended() const
    {
        return events.contains(QLatin1String("finish")) || events.contains(QLatin1String("abort"));
    }

    QStringList events;
    QString body;
    QString rawBody;
    QString filePath;
    BaseEntity failure;
    int progressCount = 0;
    double lastPercent = -1.0;

private:
    void add(const QString &event) { events.append(event); }
};

#endif // HOLDERRECORDER_H
