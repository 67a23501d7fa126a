#include "baseapis.h"

#include "buildconstants.h"
#include "utility/serverconfig.h"

#include <QDebug>

NETLINK_TYPE BaseApis::s_netLinkType = NETLINK_MAIN;

QString BaseApis::getBaseUrl()
{
    switch (getServerEnvironment()) {
    case 0:
        return ServerConfig::current().apiBaseUrl(ServerConfig::DevelopmentApi);
    case 2:
        return getServerBaseUrl(getNetLinkType());
    default:
        return QString();
    }
}

QString BaseApis::getServerBaseUrl(NETLINK_TYPE netLinkType)
{
    qDebug() << "netLinkType:" << static_cast<int>(netLinkType);
    ServerConfig::ApiHost host = ServerConfig::MainApi;
    switch (netLinkType) {
    case NETLINK_UNITED_STATES:
        host = ServerConfig::UnitedStatesApi;
        break;
    case NETLINK_EUROPE:
        host = ServerConfig::EuropeApi;
        break;
    case NETLINK_SINGAPORE:
        host = ServerConfig::SingaporeApi;
        break;
    default:
        // The main line, also for any unknown value.
        break;
    }
    return ServerConfig::current().apiBaseUrl(host);
}

QString BaseApis::getUrl(const QString &path)
{
    return getBaseUrl() + path;
}

NETLINK_TYPE BaseApis::getNetLinkType()
{
    return s_netLinkType;
}

void BaseApis::setNetLinkType(NETLINK_TYPE netLinkType)
{
    s_netLinkType = netLinkType;
}
