#include "jsonutil.h"

#include <cmath>
#include <limits>

namespace {

// The number when it is integral and fits an int, else 0. Checked before
// converting: a cast of an out-of-range double is undefined.
int integralOrZero(double number)
{
    if (!std::isfinite(number) || number != std::trunc(number))
        return 0;
    if (number < double(std::numeric_limits<int>::min()) || number > double(std::numeric_limits<int>::max()))
        return 0;
    return int(number);
}

} // namespace

void readJsonInt(const QJsonValue &value, int &target)
{
    switch (value.type()) {
    case QJsonValue::Undefined:
        return;
    case QJsonValue::String:
        target = value.toString().toInt(nullptr, 10);
        return;
    case QJsonValue::Double:
        target = integralOrZero(value.toDouble());
        return;
    default:
        target = 0;
        return;
    }
}

void readJsonDouble(const QJsonValue &value, double &target)
{
    if (value.isUndefined())
        return;
    target = value.toDouble(0);
}

void readJsonString(const QJsonValue &value, QString &target)
{
    if (value.isUndefined())
        return;
    if (value.isDouble())
        target = QString::number(integralOrZero(value.toDouble()), 10);
    else
        target = value.toString();
}

void readJsonBool(const QJsonValue &value, bool &target)
{
    if (value.isUndefined())
        return;
    target = value.toBool(false);
}
