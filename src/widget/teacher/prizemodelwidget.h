#ifndef PRIZEMODELWIDGET_H
#define PRIZEMODELWIDGET_H

#include "widget/prizemodel.h"

class WidgetClassRoom;

// The teacher's award page: six prizes for the selected students.
class PrizeModelWidget : public PrizeModel
{
    Q_OBJECT

public:
    explicit PrizeModelWidget(WidgetClassRoom *parent = nullptr);
    ~PrizeModelWidget() override;

    void enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles) override;
    void CreateVideo(const UserList &list) override;
    void updateUserTile(const QString &uid) override;
};

#endif // PRIZEMODELWIDGET_H
