#include "supervisionclasswidget.h"

#include "biz/im/agora/videosdk.h"
#include "utility/userinfo.h"
#include "widget/coursedialogs.h"
#include "widget/student/widgetinteractionstudent.h"
#include "widget/videoviewbinder.h"
#include "widget/widgetmessage.h"
#include "widget/widgetvideoitems.h"

#include <QTimer>

SupervisionClassWidget::SupervisionClassWidget(QWidget *parent)
    : StudentClassWidget(parent)
{
    qInfo(" creat SupervisionClassWidget ");
}

SupervisionClassWidget::~SupervisionClassWidget() = default;

void SupervisionClassWidget::init()
{
    qInfo(" init SupervisionClassWidget ");
    StudentClassWidget::init();
    // An observer watches: no pen, no eraser, no colours.
    if (auto *tools = qobject_cast<WidgetInteractionStudent *>(interactionWidget))
        tools->disableDrawButtons();
}

void SupervisionClassWidget::joinVideoChannel(QString channel, QString uid, const QString &key)
{
    qInfo("videoTxt start joinVideoChannel uid:%s", qUtf8Printable(uid));
    // A tile of its own, never shown: the observer has no picture.
    auto *tile = new WidgetVideoItemS(this);
    if (userList) {
        UserInfo me;
        if (userList->getUserInfoByUid(uid, me))
            tile->setUserInfo(me);
    }
    qInfo("videoTxt pItem not NULL");
    if (messageWidget)
        messageWidget->setChannelAndUser(classId, userList);
    tile->muteVideo(true);
    tile->hide();
    const QString name = tile->getUserInfo().userName;
    VideoSDK *video = VideoSDK::instance();
    uint engineUid = 0;
    if (!VideoViewBinder::toEngineUid(uid, &engineUid)) {
        // No retry can mend the own uid: asking again would never end.
        delete tile;
        qCritical("videoTxt join failure,channel:%s, uid:%s, uName:%s", qUtf8Printable(channel),
                  qUtf8Printable(uid.left(64)), qUtf8Printable(name));
        qInfo("videoTxt end joinVideoChannel uid:%s", qUtf8Printable(uid.left(64)));
        return;
    }
    if (video->joinChannel(channel, tile->getVideoWidget(), engineUid, key)) {
        video->muteLocalAudio(true);
        if (messageWidget)
            messageWidget->supervisionWidgetMessage();
        qInfo("videoTxt join success,channel:%s, uid:%s, uName:%s", qUtf8Printable(channel), qUtf8Printable(uid),
              qUtf8Printable(name));
    } else {
        qCritical("videoTxt join failure,channel:%s, uid:%s, uName:%s", qUtf8Printable(channel), qUtf8Printable(uid),
                  qUtf8Printable(name));
        const QMessageBox::StandardButton answer =
            CourseDialogs::ask(CourseDialogs::Warning, this, QStringLiteral("监课"), QStringLiteral("加入课堂失败，是否重试？"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            delete tile;
            // Again from the event loop, so every failure asks again
            // without stacking the attempts.
            QTimer::singleShot(0, this, [this, channel, uid, key]() { joinVideoChannel(channel, uid, key); });
        } else {
            // The classroom stays, without its class page.
            close();
        }
    }
    qInfo("videoTxt end joinVideoChannel uid:%s", qUtf8Printable(uid));
}
