#include "praiseeffectswidget.h"

#include <QCloseEvent>
#include <QTimer>

PraiseEffectsWidget::PraiseEffectsWidget(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    QTimer::singleShot(0, this, &PraiseEffectsWidget::slot_animationFinished);
}

PraiseEffectsWidget::~PraiseEffectsWidget() = default;

void PraiseEffectsWidget::setTargetWidget(QWidget *target)
{
    m_target = target;
}

void PraiseEffectsWidget::setGifImage(const QString &) {}

QString PraiseEffectsWidget::getSoundEffectFile() const
{
    return QString();
}

void PraiseEffectsWidget::slot_imageToFlash() {}
void PraiseEffectsWidget::slot_moveTrophy() {}
void PraiseEffectsWidget::slot_scatterFlowers() {}

void PraiseEffectsWidget::slot_animationFinished()
{
    close();
}

void PraiseEffectsWidget::closeEvent(QCloseEvent *event)
{
    emit signal_close();
    QWidget::closeEvent(event);
}
