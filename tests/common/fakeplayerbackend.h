#ifndef FAKEPLAYERBACKEND_H
#define FAKEPLAYERBACKEND_H

#include "platform/player/avplayer.h"
#include "platform/player/playerbackend.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>

// A player backend driven by the test: it records what the player asked
// of it ("source <url>", "play", "pause", "stop", "mute 1") and reports
// only what the test tells it to (position, duration, status, error). The
// state follows play, pause and stop at once, as a quick real player would.
// While a FakePlayerBackend::Install lives, every new AVPlayer gets one.
class FakePlayerBackend : public QtAV::PlayerBackend
{
    Q_OBJECT

public:
    explicit FakePlayerBackend(QObject *parent = nullptr);

    void setSource(const QUrl &url) override;
    void play() override;
    void pause() override;
    void stop() override;
    void setMuted(bool muted) override;
    void setVideoOutput(QtAV::VideoOutput *output) override;

    void reportPosition(qint64 ms) { emit positionChanged(ms); }
    void reportDuration(qint64 ms) { emit durationChanged(ms); }
    void reportStatus(QtAV::MediaStatus status) { emit mediaStatusChanged(int(status)); }
    void reportError(int code, const QString &text) { emit errorOccurred(code, text); }

    QStringList calls;
    QUrl source;
    bool muted = false;
    int state = Stopped;
    QtAV::VideoOutput *output = nullptr;

    // The backends of the players made while it lives, oldest first.
    class Install
    {
    public:
        Install();
        ~Install();
        QList<QPointer<FakePlayerBackend>> made;
        FakePlayerBackend *last() const { return made.isEmpty() ? nullptr : made.last().data(); }
    };

private:
    void setState(int value);
};

#endif // FAKEPLAYERBACKEND_H
