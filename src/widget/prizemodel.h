#ifndef PRIZEMODEL_H
#define PRIZEMODEL_H

#include "widget/widgetclassmode.h"

#include <QString>

class UserList;

// Base of the award-mode page of both roles. The page keeps tiles of its
// own, separate from the class page's.
class PrizeModel : public WidgetClassMode
{
    Q_OBJECT

public:
    explicit PrizeModel(QWidget *parent = nullptr);
    ~PrizeModel() override;

    void enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles) override;
    void exitMode() override;
    void destoryMode() override;
    bool setVideoItemAttached(const QString &uid, bool attach) override;
    WidgetVideoItemList *getVideoItemList() override;
    virtual void CreateVideo(const UserList &list) = 0;
    virtual void updateUserTile(const QString &uid) = 0;

public slots:
    void slot_onChannelUserJoined(const QString &uid) override;
    void slot_onChannelUserLeaved(const QString &uid) override;

protected:
    QString classId;
    WidgetVideoItemList *videoItemList = nullptr;
};

#endif // PRIZEMODEL_H
