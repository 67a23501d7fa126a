#ifndef BASEAPIS_H
#define BASEAPIS_H

#include <QMetaType>
#include <QString>

// The network lines: one production API host each. A fixed underlying type,
// so any number can be carried (values above 3 mean the main line).
enum NETLINK_TYPE : int {
    NETLINK_MAIN = 0,
    NETLINK_UNITED_STATES = 1,
    NETLINK_EUROPE = 2,
    NETLINK_SINGAPORE = 3
};
Q_DECLARE_METATYPE(NETLINK_TYPE)

// Base address of the application server and the current network line.
// GUI thread only.
class BaseApis
{
public:
    // Development: the development base; production: the host of the current
    // line; any other environment: empty.
    static QString getBaseUrl();
    // The production host of a line, "http://host" without a trailing slash.
    static QString getServerBaseUrl(NETLINK_TYPE netLinkType);
    // getBaseUrl() followed directly by "path" (which begins with "/QXV1/").
    static QString getUrl(const QString &path);

    static NETLINK_TYPE getNetLinkType();
    // Takes effect for every request built afterwards; not kept across runs.
    static void setNetLinkType(NETLINK_TYPE netLinkType);

private:
    static NETLINK_TYPE s_netLinkType;
};

#endif // BASEAPIS_H
