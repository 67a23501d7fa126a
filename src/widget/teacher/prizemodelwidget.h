#ifndef PRIZEMODELWIDGET_H
#define PRIZEMODELWIDGET_H

#include "widget/prizemodel.h"

#include <QPointer>
#include <QStringList>

class ClassWidgetSetting;
class NetWorkReplyHolder;
class QListWidgetItem;
class StudentInfoWidget;
class WidgetClassRoom;

namespace Ui {
class PrizeModelWidget;
}

// The teacher's award page: the students' award tiles, the teacher's own
// tile, a rank list, and six prizes for the selected students. A prize
// flies onto each selected tile, is recorded on the server and sent to the
// class at once.
class PrizeModelWidget : public PrizeModel
{
    Q_OBJECT

public:
    explicit PrizeModelWidget(WidgetClassRoom *parent = nullptr);
    ~PrizeModelWidget() override;

    void enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles) override;
    void CreateVideo(const UserList &list) override;
    void updateUserTile(const QString &uid) override;

    void award(const QString &prizeId);
    void saveAwardRecord(const QStringList &uids, const QString &prizeId);
    void sendAwardMessage(const QStringList &uids, int prizeId);
    void restoreAwards();

    StudentInfoWidget *rankRow(const QString &uid) const;
    QListWidgetItem *rankItem(const QString &uid) const;
    ClassWidgetSetting *settingBar() const { return m_setting; }

public slots:
    void on_pushButton_crown_clicked();
    void on_pushButton_medal_clicked();
    void on_pushButton_flower_clicked();
    void on_pushButton_doll_clicked();
    void on_pushButton_car_clicked();
    void on_pushButton_ball_clicked();
    void slot_itemClicked(QListWidgetItem *item);
    void slot_setListWidgetState(QString uid, bool flag);
    void slot_replySuccess(QString response);
    void slot_replyFailure(int errorCode);
    void slot_joinClassModel(QString uid);

public:
    // Wrap one student's video tile in an award tile and a rank row.
    void addStudentTile(WidgetVideoItem *tile);
    void addRankRow(WidgetVideoItem *tile);

protected:
    int prizeStartYOffset() const override;
    void placeTeacherTile(WidgetVideoItem *tile) override;
    void placeStudentTile(WidgetVideoItem *tile, bool inChannel) override;

private:
    void setRowSelected(QListWidgetItem *item, bool flag);

    Ui::PrizeModelWidget *ui;
    ClassWidgetSetting *m_setting;
    QPointer<NetWorkReplyHolder> m_awardReply;
};

#endif // PRIZEMODELWIDGET_H
