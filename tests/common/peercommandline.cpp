#include "peercommandline.h"

#include <QCoreApplication>

PeerCommandLine::PeerCommandLine(const QList<QCommandLineOption> &own)
    : m_uid(QStringLiteral("uid"), QStringLiteral("Own uid."), QStringLiteral("uid"))
    , m_class(QStringLiteral("class"), QStringLiteral("Class id."), QStringLiteral("id"))
    , m_log(QStringLiteral("log"), QStringLiteral("Keep the message and action logs, as the client does."))
{
    m_parser.addOptions({ m_uid, m_class, m_log });
    m_parser.addOptions(own);
}

void PeerCommandLine::process(const QCoreApplication &app)
{
    m_parser.process(app);
}

QString PeerCommandLine::uid() const
{
    return m_parser.value(m_uid);
}

QString PeerCommandLine::classId() const
{
    return m_parser.value(m_class);
}

bool PeerCommandLine::keepsLogs() const
{
    return m_parser.isSet(m_log);
}
