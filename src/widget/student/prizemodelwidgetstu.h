#ifndef PRIZEMODELWIDGETSTU_H
#define PRIZEMODELWIDGETSTU_H

#include "widget/prizemodel.h"

class WidgetClassRoom;

// The student's award page: the prizes the teacher gives fly onto the
// awarded students' tiles.
class PrizemodelwidgetStu : public PrizeModel
{
    Q_OBJECT

public:
    explicit PrizemodelwidgetStu(WidgetClassRoom *parent = nullptr);
    ~PrizemodelwidgetStu() override;

    void CreateVideo(const UserList &list) override;
    void updateUserTile(const QString &uid) override;
};

#endif // PRIZEMODELWIDGETSTU_H
