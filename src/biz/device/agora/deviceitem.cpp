#include "deviceitem.h"

#include "utility/jsonutil.h"

namespace {

template<typename R, typename F>
void deviceItemFields(R &record, F &&field)
{
    field("deviceId", record.id);
    field("deviceName", record.name);
    field("deviceType", record.type);
}

} // namespace

void readJson(const QJsonValue &value, DeviceItem &out)
{
    deviceItemFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const DeviceItem &item)
{
    JsonFieldWriter writer;
    deviceItemFields(item, writer);
    return writer.object();
}
