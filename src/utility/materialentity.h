#ifndef MATERIALENTITY_H
#define MATERIALENTITY_H

#include <QString>

// A lesson video; the JSON keys are the field names.
struct VideoMaterial
{
    QString id;
    QString video;
    QString video_sm;
    QString pic;
    QString name;
    QString voice;

    // The small rendition when there is one.
    QString getVideoUrl() const { return video_sm.isEmpty() ? video : video_sm; }
};

// A lesson audio; the JSON keys are the field names.
struct VoiceMaterial
{
    QString id;
    QString voice;
    QString sort;
    QString voice_md5;
    QString name;
};

#endif // MATERIALENTITY_H
