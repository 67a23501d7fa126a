#include "browserstandin.h"

#include <QDesktopServices>
#include <QUrl>

BrowserStandIn::BrowserStandIn(const QString &scheme, QStringList *opened)
    : m_scheme(scheme)
    , m_opened(opened)
{
    QDesktopServices::setUrlHandler(m_scheme, this, "openUrl");
}

BrowserStandIn::~BrowserStandIn()
{
    QDesktopServices::unsetUrlHandler(m_scheme);
}

void BrowserStandIn::openUrl(const QUrl &url)
{
    m_opened->append(url.toString());
}
