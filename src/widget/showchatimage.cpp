#include "showchatimage.h"

#include "mgr/singleton.h"
#include "widget/showenlargeimage.h"

ShowChatImage::ShowChatImage(QObject *parent)
    : SingletonMgrBase(parent)
{
}

ShowChatImage::~ShowChatImage() = default;

ShowChatImage *ShowChatImage::instance()
{
    return Singleton<ShowChatImage>::instance();
}

ShowEnlargeImage *ShowChatImage::showChatImage(QString path)
{
    auto *view = new ShowEnlargeImage(nullptr);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->showImage(path);
    view->show();
    return view;
}
