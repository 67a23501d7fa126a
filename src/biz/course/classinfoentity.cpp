#include "classinfoentity.h"

#include "biz/course/classrecordfields.h"

#include <QDebug>
#include <QJsonObject>

void readJson(const QJsonValue &value, AppConfigData &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "material_stagnate_timeout"), out.materialStagnateTimeout);
    readJsonString(jsonField(o, "material_proxy_server"), out.materialProxyServer);
    readJsonString(jsonField(o, "video_play_audiomixing"), out.videoPlayAudiomixing);
}

void readJson(const QJsonValue &value, WebUrlEntity &out)
{
    readJsonString(jsonField(value.toObject(), "url"), out.url);
}

void readJson(const QJsonValue &value, ClassMaterialEntity &out)
{
    const QJsonObject o = value.toObject();
    readCoursePageFields(o, out);
    readJsonString(jsonField(o, "pdf"), out.pdf);
    readJsonString(jsonField(o, "md5"), out.md5);
    readJsonString(jsonField(o, "pdf_tch"), out.pdf_tch);
    readJsonString(jsonField(o, "tch_md5"), out.tch_md5);
    readJson(jsonField(o, "voices"), out.voices);
    readJson(jsonField(o, "videos"), out.videos);
}

void readJson(const QJsonValue &value, ClassTeacherEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "tid"), out.tid);
    readJsonString(jsonField(o, "nickname"), out.nickname);
    readJsonString(jsonField(o, "pic"), out.pic);
}

void readJson(const QJsonValue &value, LastAwardInfo &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "sid"), out.sid);
    readJsonString(jsonField(o, "award_id"), out.award_id);
    readJsonString(jsonField(o, "award_time"), out.award_time);
}

void readJson(const QJsonValue &value, ClassStudentEntity &out)
{
    const QJsonObject o = value.toObject();
    readStudentFields(o, out);
    readJson(jsonField(o, "lastAwardsInfo"), out.lastAwardsInfo);
}

void readJson(const QJsonValue &value, AgoraInfo &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "sig_key"), out.sig_key);
    readJsonString(jsonField(o, "media_key"), out.media_key);
    readJsonString(jsonField(o, "record_key"), out.record_key);
    readJsonInt(jsonField(o, "expired_time"), out.expired_time);
}

void readJson(const QJsonValue &value, ActionLogTimerInfo &out)
{
    const QJsonObject o = value.toObject();
    readJsonDouble(jsonField(o, "client_local_ts"), out.client_local_ts);
    readJsonDouble(jsonField(o, "server_local_ts"), out.server_local_ts);
    readJsonDouble(jsonField(o, "server_delay"), out.server_delay);
}

void readJson(const QJsonValue &value, ClassAppConfig &out)
{
    const QJsonObject o = value.toObject();
    readJsonInt(jsonField(o, "fps"), out.fps);
    readJsonInt(jsonField(o, "video_play_mode"), out.video_play_mode);
}

void readJson(const QJsonValue &value, ClassInfoEntity &out)
{
    const QJsonObject o = value.toObject();
    readClassFields(o, out);
    readJson(jsonField(o, "agorainfo"), out.agorainfo);
    readJson(jsonField(o, "cs_ts"), out.cs_ts);
    readJson(jsonField(o, "app_config"), out.app_config);
    readJsonBool(jsonField(o, "is_commented"), out.is_commented);
}

qint64 serverClockOffset(const ActionLogTimerInfo &stamps, qint64 nowMs)
{
    // Truncated like the stamps' integral milliseconds; signed throughout so
    // that a clock behind the server's gives a negative offset, not decades.
    const qint64 clientTs = static_cast<qint64>(stamps.client_local_ts);
    const qint64 serverTs = static_cast<qint64>(stamps.server_local_ts);
    const qint64 serverDelay = static_cast<qint64>(stamps.server_delay);
    if (clientTs <= 0 || serverTs <= 0) {
        qWarning("<TimeLag> missing time stamp (client_local_ts:%lld, server_local_ts:%lld), offset 0",
                 clientTs, serverTs);
        return 0;
    }
    const qint64 oneWay = qMax<qint64>(0, (nowMs - clientTs - serverDelay) / 2);
    return serverTs + oneWay - nowMs;
}
