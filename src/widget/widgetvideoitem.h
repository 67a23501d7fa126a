#ifndef WIDGETVIDEOITEM_H
#define WIDGETVIDEOITEM_H

#include "utility/userinfo.h"
#include "utility/widget/iwidget.h"

#include <QString>

namespace Ui {
class WidgetVideoItem;
}

class QCloseEvent;
class WidgetVideoTool;

// One participant's video tile: the video, the name, the praise count, a
// one-line notice and a tool bar shown while the mouse is over the tile.
// The base of the teacher's and the students' tiles.
class WidgetVideoItem : public IWidget
{
    Q_OBJECT

public:
    explicit WidgetVideoItem(QWidget *parent = nullptr);
    ~WidgetVideoItem() override;

    virtual void setVolume(int level);
    virtual void setToolVisible(bool visible);
    virtual void showTool(bool show);
    // Kept for the pages' calls; a tile has no tool state beyond its
    // buttons.
    virtual void resetToolState(bool value);
    virtual void setAudioChecked(bool on);
    virtual void setAudioEnabled(bool enabled);
    virtual void switchSmallVideo();
    virtual void hideTopBar();

    void setUserInfo(const UserInfo &info);
    UserInfo getUserInfo() const;
    void setStateFlag(bool inChannel);
    bool stateFlag() const;
    void muteVideo(bool bMute);
    // Binds the engine's video of the tile's user to view; null unbinds.
    bool setVideoView(QWidget *view);
    bool clearVideoView();
    bool restoreVideoView();
    QWidget *getVideoWidget() const;
    void setCropToFit(bool crop);
    void setAlertText(const QString &text);
    void setNickName(const QString &name);
    void setPraiseCount(int n);
    QString alertText() const;
    QString nickName() const;
    QString praiseText() const;
    bool isVideoMuted() const { return m_videoMuted; }
    WidgetVideoTool *tool() const { return m_tool; }
    // Does nothing: the tool bar's video button is handled by the tool bar.
    // Not a slot, so the form's connect-by-name does not look for a button
    // the tile itself lacks.
    void on_btnVideo_clicked();

public slots:
    void mouseIn() override;
    void mouseOut() override;

protected:
    void closeEvent(QCloseEvent *event) override;

    // Adds the tool bar to the form; the tile kinds call it once.
    void setTool(WidgetVideoTool *tool);

    Ui::WidgetVideoItem *ui;
    UserInfo m_user;
    bool m_stateFlag = false;
    bool m_videoMuted = false;
    WidgetVideoTool *m_tool = nullptr;
};

#endif // WIDGETVIDEOITEM_H
