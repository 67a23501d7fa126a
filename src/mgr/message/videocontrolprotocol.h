#ifndef VIDEOCONTROLPROTOCOL_H
#define VIDEOCONTROLPROTOCOL_H

#include "mgr/message/classroompayloads.h"
#include "utility/downloadutil.h"

struct ClassInfoEntity;
struct VideoMaterial;

#include <QString>

// The values of ProtocolVideoControl::type: what the teacher tells the
// students about a lesson video, and a student's readiness.
enum VideoControlType {
    VIDEO_PLAY = 1,
    VIDEO_PAUSE = 2,
    VIDEO_RESUME = 3,
    VIDEO_FINISHED = 4,
    VIDEO_INIT = 5,
    VIDEO_STUDENT_READY = 6,
};

namespace VideoControlProtocol {

// Bounds of a received message; anything beyond them is dropped whole.
constexpr int kMaxIdLength = 64;
constexpr int kMaxUrlLength = DownloadUtil::kMaxAddressLength;
constexpr int kMaxNameLength = 256;

// "VIDEO_PLAY" ... "VIDEO_STUDENT_READY", "unknown" for any other value.
QString typeName(int type);
// "video_protocol:type:..., classId:..., ..." for the log.
QString toString(const ProtocolVideoControl &protocol);
// True when a received message keeps every bound: a known type; ids of at
// most kMaxIdLength letters, digits, '-' and '_' (may be empty); video and
// voice empty or addresses the downloads would fetch (DownloadUtil::
// isWebAddress), so a student never refuses what the teacher could play;
// a name of at most kMaxNameLength without control characters. why says
// which bound failed.
bool isAcceptable(const ProtocolVideoControl &protocol, QString *why = nullptr);

// A message of that type about one video of the class.
ProtocolVideoControl make(int type, const ClassInfoEntity &classInfo, const VideoMaterial &video);
// Sends it to the whole class as the signed-in user and logs it.
void send(int type, const ClassInfoEntity &classInfo, const VideoMaterial &video);

} // namespace VideoControlProtocol

#endif // VIDEOCONTROLPROTOCOL_H
