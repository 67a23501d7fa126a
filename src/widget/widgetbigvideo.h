#ifndef WIDGETBIGVIDEO_H
#define WIDGETBIGVIDEO_H

#include "utility/userinfo.h"
#include "utility/widget/basemainwidget.h"

#include <QString>

class QCloseEvent;

// The enlarged video of one participant over the whiteboard.
class WidgetBigVideo : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetBigVideo(QWidget *parent = nullptr);
    ~WidgetBigVideo() override;

    void setUserInfo(const UserInfo &info);
    UserInfo getUserInfo() const;
    // Binds the stored participant's video to the view.
    bool setThisVideoView();
    // 0 hidden, 1 shown at 300 x 225, other values as the view defines.
    void setShowType(int type);
    int getShowType() const;

signals:
    void signal_exitBigVideo(QString uid);

public slots:
    void on_btnAudio_clicked();
    void on_btnZoom_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    UserInfo m_user;
    int m_showType = 0;
};

#endif // WIDGETBIGVIDEO_H
