#include "agoraloginmgr.h"

#include "biz/im/agora/agoraimsdk.h"
#include "buildconstants.h"
#include "mgr/singleton.h"
#include "platform/signalling/signalapi.h"
#include "utility/actionlog.h"

#include <QByteArray>
#include <QDebug>

namespace {

// How long, and how many times, the library tries to restore a lost
// connection before it reports the session lost (the class page then logs
// in again every 2000 ms).
const int kReconnectWindowSeconds = 30;
const int kReconnectAttempts = 5;

// The signalling key opens the class to whoever holds it, and logs are
// uploaded: keep its length, not its text.
QString maskedToken(const QString &token)
{
    return token.isEmpty() ? QString() : QStringLiteral("****(%1)").arg(token.size());
}

} // namespace

AgoraLoginMgr::AgoraLoginMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraLoginMgr::~AgoraLoginMgr() = default;

AgoraLoginMgr *AgoraLoginMgr::instance()
{
    return Singleton<AgoraLoginMgr>::instance();
}

void AgoraLoginMgr::init()
{
    AgoraIMSdk *sdk = AgoraIMSdk::instance();
    const auto type = Qt::ConnectionType(Qt::AutoConnection | Qt::UniqueConnection);
    connect(sdk, &AgoraIMSdk::signal_onReconnecting, this, &AgoraLoginMgr::slot_onReconnecting, type);
    connect(sdk, &AgoraIMSdk::signal_onReconnected, this, &AgoraLoginMgr::slot_onReconnected, type);
    connect(sdk, &AgoraIMSdk::signal_onLoginSuccess, this, &AgoraLoginMgr::slot_onLoginSuccess, type);
    connect(sdk, &AgoraIMSdk::signal_onLogout, this, &AgoraLoginMgr::slot_onLogout, type);
    connect(sdk, &AgoraIMSdk::signal_onLoginFailed, this, &AgoraLoginMgr::slot_onLoginFailed, type);
}

void AgoraLoginMgr::login(const QString &uid, const QString &token)
{
    if (getServerEnvironment() == 0)
        return;
    qInfo("im:login uid:%s, token:%s", qUtf8Printable(uid), qUtf8Printable(maskedToken(token)));
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_login_start"), QStringLiteral("{uid:%1}").arg(uid));
    agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI();
    if (!api) {
        qCritical("im:login without the signalling library");
        return;
    }
    const QByteArray appId = AgoraIMSdk::getAppId().toUtf8();
    const QByteArray account = uid.toUtf8();
    const QByteArray key = token.toUtf8();
    api->loginUser(appId.constData(), size_t(appId.size()), account.constData(), size_t(account.size()),
                   key.constData(), size_t(key.size()), 0, "", 0, kReconnectWindowSeconds,
                   kReconnectAttempts);
}

void AgoraLoginMgr::logout()
{
    qInfo("im:logout");
    if (agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI())
        api->logoutUser();
}

void AgoraLoginMgr::slot_onReconnecting(uint32_t nretry)
{
    qInfo("slot_onReconnecting nretry:%d", int(nretry));
}

void AgoraLoginMgr::slot_onReconnected(int fd)
{
    qInfo("slot_onReconnecting slot_onReconnected, fd:%d", fd);
}

void AgoraLoginMgr::slot_onLoginSuccess(uint32_t uidParam, int fd)
{
    // The line shows the uid as a signed number, the records as unsigned.
    qInfo("slot_onLoginSuccess, uid_:%d", int(uidParam));
    const QString uid = QString::number(uidParam);
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_login_success"), QStringLiteral("{uid:%1}").arg(uid));
    m_uid = uid;
    emit signal_onLoginSuccess(uidParam, fd);
    emit signal_networkStatusChanged(true);
}

void AgoraLoginMgr::slot_onLoginFailed(int ecode)
{
    qCritical("slot_onLoginFailed ecode:%d", ecode);
    ActionLog::instance()->ErrorInfo(QStringLiteral("sig_login_failure"),
                                     QStringLiteral("{uid:%1, code:%2}").arg(m_uid).arg(ecode));
    emit signal_onLoginFailed(ecode);
}

void AgoraLoginMgr::slot_onLogout(int ecode)
{
    qInfo("slot_onLogout, ecode:%d", ecode);
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_login_logout"),
                                      QStringLiteral("{uid:%1, code:%2}").arg(m_uid).arg(ecode));
    switch (ecode) {
    case agora_sdk_win::LOGOUT_E_USER:
        qWarning("normal logout");
        emit signal_onNormalLogut();
        break;
    case agora_sdk_win::LOGOUT_E_KICKED:
        qCritical("kicked by someone else");
        emit signal_onKicked();
        break;
    default:
        qCritical("disconnected");
        emit signal_onDisconnected(ecode);
        emit signal_networkStatusChanged(false);
        break;
    }
}
