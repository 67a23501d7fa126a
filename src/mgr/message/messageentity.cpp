#include "messageentity.h"

namespace {

template<typename R, typename F>
void headerFields(R &record, F &&field)
{
    field("version", record.version);
    field("sequence", record.sequence);
    field("type", record.type);
    field("src", record.src);
    field("sender", record.sender);
    field("uuid", record.uuid);
    field("video_local_play_capability", record.video_local_play_capability);
}

} // namespace

void readJson(const QJsonValue &value, BaseMessageEntity &out)
{
    headerFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const BaseMessageEntity &entity)
{
    JsonFieldWriter writer;
    headerFields(entity, writer);
    return writer.object();
}
