#ifndef TEACHERAUDIOLISTWIDGET_H
#define TEACHERAUDIOLISTWIDGET_H

#include "utility/materialentity.h"
#include "utility/widget/baselistwidgetcontainer.h"

#include <QVector>

class QCloseEvent;
namespace Ui {
class TeacherAudioListWidget;
}

// The lesson's audio materials, one row each: a material not yet on disk
// offers a download, a present one plays into the class's RTC channel. One
// row plays at a time; closing the panel stops whatever plays.
class TeacherAudioListWidget : public BaseListWidgetContainer<VoiceMaterial>
{
    Q_OBJECT

public:
    explicit TeacherAudioListWidget(QWidget *parent = nullptr);
    ~TeacherAudioListWidget() override;

    void setAudioMaterials(const QString &classId, const QVector<VoiceMaterial> &voices);

public slots:
    void slot_onDownloadOk(QListWidgetItem *item, VoiceMaterial voice);
    void on_closePushButton_clicked();

protected:
    QListWidget *getListWidget() override;
    QWidget *createItemWidget(QListWidgetItem *item, const VoiceMaterial &voice) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::TeacherAudioListWidget *ui;
    QString m_classId;
};

#endif // TEACHERAUDIOLISTWIDGET_H
