#include "utility/webpage.h"

#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/serverconfig.h"

#include <QDebug>
#include <QDesktopServices>
#include <QUrl>

namespace {

WebPage::Opener &opener()
{
    static WebPage::Opener replacement;
    return replacement;
}

} // namespace

QString WebPage::url(const QString &path)
{
    const QString site = ServerConfig::current().webSite();
    if (site.isEmpty()) {
        qCritical("no web site configured, path:%s", qUtf8Printable(path));
        return QString();
    }
    return site + path;
}

QString WebPage::helpPageUrl()
{
    return url(RolePolicy::current().helpPagePath);
}

bool WebPage::open(const QString &url)
{
    if (url.isEmpty())
        return false;
    const QUrl address(url);
    return opener() ? opener()(address) : QDesktopServices::openUrl(address);
}

bool WebPage::openHelpPage(const QString &url)
{
    const bool opened = open(url);
    qInfo() << "open help button is code:" << opened << "url:" << url;
    ActionLog::instance()->ClickInfo(QStringLiteral("click_help"),
                                     QStringLiteral("{code:%1,url:%2}").arg(opened ? 1 : 0).arg(url));
    return opened;
}

void WebPage::setOpener(const Opener &replacement)
{
    opener() = replacement;
}
