#ifndef PRIZEMODELWIDGETSTU_H
#define PRIZEMODELWIDGETSTU_H

#include "mgr/message/immsginfo.h"
#include "mgr/message/classroompayloads.h"
#include "widget/prizemodel.h"

class WidgetClassRoom;

namespace Ui {
class PrizemodelwidgetStu;
}

// The student's award page: the prizes the teacher gives fly onto the
// awarded students' tiles, and every student's last prize is back on the
// tile whenever the page is shown.
class PrizemodelwidgetStu : public PrizeModel
{
    Q_OBJECT

public:
    explicit PrizemodelwidgetStu(WidgetClassRoom *parent = nullptr);
    ~PrizemodelwidgetStu() override;

    void CreateVideo(const UserList &list) override;
    void updateUserTile(const QString &uid) override;
    void checkAwardInfo();

    // Wraps one student's video tile in an award tile.
    void addStudentTile(WidgetVideoItem *tile);

public slots:
    void slot_PrizePresentation(const ImMsgInfo &info, const PrizeModelAwardControl &protocol);

protected:
    int prizeStartYOffset() const override;
    void placeTeacherTile(WidgetVideoItem *tile) override;
    void placeStudentTile(WidgetVideoItem *tile, bool inChannel) override;

private:
    Ui::PrizemodelwidgetStu *ui;
};

#endif // PRIZEMODELWIDGETSTU_H
