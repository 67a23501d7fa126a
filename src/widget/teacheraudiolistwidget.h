#ifndef TEACHERAUDIOLISTWIDGET_H
#define TEACHERAUDIOLISTWIDGET_H

#include "utility/widget/basemainwidget.h"
#include "utility/materialentity.h"
#include <QVector>

// The lesson's audio materials, one row each: download, then play into the class.
class TeacherAudioListWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit TeacherAudioListWidget(QWidget *parent = nullptr);
    ~TeacherAudioListWidget() override;

    void setAudioMaterials(const QString &classId, const QVector<VoiceMaterial> &voices);
};

#endif // TEACHERAUDIOLISTWIDGET_H
