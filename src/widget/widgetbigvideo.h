#ifndef WIDGETBIGVIDEO_H
#define WIDGETBIGVIDEO_H

#include "utility/userinfo.h"
#include "utility/widget/basemainwidget.h"

#include <QSize>
#include <QString>

namespace Ui {
class WidgetBigVideo;
}

class QCloseEvent;

// The enlarged video of one participant over the class page: a student the
// teacher selected (show type 1, 300 x 225) or the teacher's shared desktop
// (2 and 3: 80 % of the desktop, centred, the whole frame).
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
    // 0 hidden, 1 shown at 300 x 225, 2 and 3 large and centred.
    void setShowType(int type);
    int getShowType() const;
    bool isAudioMuted() const { return m_audioMuted; }

signals:
    void signal_exitBigVideo(QString uid);

public slots:
    void on_btnAudio_clicked();
    void on_btnZoom_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The size the large types are measured against.
    virtual QSize desktopSize() const;

private:
    Ui::WidgetBigVideo *ui;
    UserInfo m_user;
    int m_showType = 0;
    bool m_audioMuted = false;
};

#endif // WIDGETBIGVIDEO_H
