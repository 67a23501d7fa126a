#include "loginactions.h"

#include "utility/actionlog.h"
#include "utility/serverconfig.h"

#include <QDebug>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

LoginActions::NoticeHandler &noticeHandler()
{
    static LoginActions::NoticeHandler handler;
    return handler;
}

} // namespace

QString LoginActions::webPageUrl(const QString &path)
{
    const QString site = ServerConfig::current().webSite();
    if (site.isEmpty()) {
        qCritical("no web site configured, path:%s", qUtf8Printable(path));
        return QString();
    }
    return site + path;
}

bool LoginActions::openHelpPage(const QString &url)
{
    const bool opened = !url.isEmpty() && QDesktopServices::openUrl(QUrl(url));
    qInfo() << "open help button is code:" << opened << "url:" << url;
    ActionLog::instance()->ClickInfo(QStringLiteral("click_help"),
                                     QStringLiteral("{code:%1,url:%2}").arg(opened ? 1 : 0).arg(url));
    return opened;
}

void LoginActions::showNotice(QWidget *parent, const QString &title, const QString &text)
{
    if (noticeHandler()) {
        noticeHandler()(parent, title, text);
        return;
    }
    QMessageBox::about(parent, title, text);
}

void LoginActions::setNoticeHandler(const NoticeHandler &handler)
{
    noticeHandler() = handler;
}
