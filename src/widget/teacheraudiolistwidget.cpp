#include "teacheraudiolistwidget.h"

TeacherAudioListWidget::TeacherAudioListWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
}

TeacherAudioListWidget::~TeacherAudioListWidget() = default;

void TeacherAudioListWidget::setAudioMaterials(const QString &, const QVector<VoiceMaterial> &) {}
