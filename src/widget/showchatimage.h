#ifndef SHOWCHATIMAGE_H
#define SHOWCHATIMAGE_H

#include "mgr/singletonmgrbase.h"

#include <QString>

class ShowEnlargeImage;

// Opens chat pictures enlarged: every call a new window that deletes itself
// when it closes.
class ShowChatImage : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit ShowChatImage(QObject *parent = nullptr);
    ~ShowChatImage() override;

    static ShowChatImage *instance();

    // The window opened, for a caller that wants to follow it.
    ShowEnlargeImage *showChatImage(QString path);
};

#endif // SHOWCHATIMAGE_H
