#ifndef LASTAWARDINFO_H
#define LASTAWARDINFO_H

#include <QString>

// A participant's last award, as the class information gives it
// ("lastAwardsInfo": "sid", "award_id", "award_time").
struct LastAwardInfo
{
    QString sid;
    QString award_id;
    QString award_time;
};

#endif // LASTAWARDINFO_H
