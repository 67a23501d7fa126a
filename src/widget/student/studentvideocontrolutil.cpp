#include "studentvideocontrolutil.h"

StudentVideoControlUtil::StudentVideoControlUtil(QObject *parent)
    : QObject(parent)
{
}

StudentVideoControlUtil::~StudentVideoControlUtil() = default;

void StudentVideoControlUtil::setClassInfo(const ClassInfoEntity &info)
{
    qInfo("setClassInfo");
    m_classInfo = info;
}

void StudentVideoControlUtil::onVideoInit(const ProtocolVideoControl &) {}
void StudentVideoControlUtil::onVideoPlay(const ProtocolVideoControl &) {}
void StudentVideoControlUtil::onVideoPause(const ProtocolVideoControl &) {}
void StudentVideoControlUtil::onVideoResume(const ProtocolVideoControl &) {}
void StudentVideoControlUtil::onVideoFinished(const ProtocolVideoControl &) {}

bool StudentVideoControlUtil::findMatchedVideoMaterial(const ProtocolVideoControl &, VideoMaterial &) const
{
    return false;
}

void StudentVideoControlUtil::slot_receiveVideoControl(ImMsgInfo, ProtocolVideoControl) {}
void StudentVideoControlUtil::slot_player_closed() {}
