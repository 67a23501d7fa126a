#ifndef STUDENTVIDEOCONTROLUTIL_H
#define STUDENTVIDEOCONTROLUTIL_H

#include "biz/course/classinfoentity.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsginfo.h"
#include "utility/materialentity.h"

#include <QObject>

// Follows the teacher's video-control messages on a student's client: opens
// the student's player on VIDEO_INIT and drives it on the later messages.
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

public slots:
    void slot_receiveVideoControl(ImMsgInfo info, ProtocolVideoControl protocol);
    void slot_player_closed();

private:
    ClassInfoEntity m_classInfo;
};

#endif // STUDENTVIDEOCONTROLUTIL_H
