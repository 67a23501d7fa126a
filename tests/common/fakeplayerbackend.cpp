#include "fakeplayerbackend.h"

FakePlayerBackend::FakePlayerBackend(QObject *parent)
    : QtAV::PlayerBackend(parent)
{
}

void FakePlayerBackend::setSource(const QUrl &url)
{
    source = url;
    calls << QStringLiteral("source %1").arg(url.toString());
}

void FakePlayerBackend::play()
{
    calls << QStringLiteral("play");
    setState(Playing);
}

void FakePlayerBackend::pause()
{
    calls << QStringLiteral("pause");
    setState(Paused);
}

void FakePlayerBackend::stop()
{
    calls << QStringLiteral("stop");
    setState(Stopped);
}

void FakePlayerBackend::setMuted(bool value)
{
    muted = value;
    calls << QStringLiteral("mute %1").arg(int(value));
}

void FakePlayerBackend::setVideoOutput(QtAV::VideoOutput *value)
{
    output = value;
}

void FakePlayerBackend::setState(int value)
{
    if (state == value)
        return;
    state = value;
    emit stateChanged(value);
}

FakePlayerBackend::Install::Install()
{
    QtAV::AVPlayer::setBackendFactory([this](QObject *parent) {
        auto *backend = new FakePlayerBackend(parent);
        made.append(backend);
        return backend;
    });
}

FakePlayerBackend::Install::~Install()
{
    QtAV::AVPlayer::setBackendFactory(QtAV::PlayerBackendFactory());
}
