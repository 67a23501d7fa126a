#ifndef STUDENTVIDEOCONTROLUTIL_H
#define STUDENTVIDEOCONTROLUTIL_H

#include "biz/course/classinfoentity.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsginfo.h"
#include "utility/materialentity.h"

#include <QObject>
#include <QPointer>

class StudentVideoPlayerWidget;

// Follows the teacher's video-control messages on a student's client: opens
// the student's player on VIDEO_INIT and drives it on the later messages.
// Messages of another class, or beyond the message bounds, are dropped; a
// VIDEO_INIT whose video is not among the class's leaves no window.
class StudentVideoControlUtil : public QObject
{
    Q_OBJECT

public:
    explicit StudentVideoControlUtil(QObject *parent = nullptr);
    ~StudentVideoControlUtil() override;

    void setClassInfo(const ClassInfoEntity &info);

    void onVideoInit(const ProtocolVideoControl &protocol);
    void onVideoPlay(const ProtocolVideoControl &protocol);
    void onVideoPause(const ProtocolVideoControl &protocol);
    void onVideoResume(const ProtocolVideoControl &protocol);
    void onVideoFinished(const ProtocolVideoControl &protocol);
    bool findMatchedVideoMaterial(const ProtocolVideoControl &protocol, VideoMaterial &out) const;

    // The window of the video being shown; null when none.
    StudentVideoPlayerWidget *playerWidget() const;

public slots:
    void slot_receiveVideoControl(ImMsgInfo info, ProtocolVideoControl protocol);
    void slot_player_closed();

private:
    bool isCurrentClass(const ProtocolVideoControl &protocol, const char *what) const;
    StudentVideoPlayerWidget *currentPlayer() const;

    ClassInfoEntity m_classInfo;
    // Not owned: the window deletes itself when it closes.
    QPointer<StudentVideoPlayerWidget> m_playerWidget;
};

#endif // STUDENTVIDEOCONTROLUTIL_H
