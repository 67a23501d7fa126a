#include "rtcdeviceprovider.h"

RtcDeviceProvider::~RtcDeviceProvider() = default;
