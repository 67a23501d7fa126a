#include "widgetscreen.h"

#include <QTimer>

WidgetScreen::WidgetScreen(QWidget *parent)
    : QWidget(parent)
{
}

WidgetScreen::~WidgetScreen() = default;

void WidgetScreen::grabScreen()
{
    QTimer::singleShot(0, this, [this] { slot_cutQuit(QString()); });
}

void WidgetScreen::slot_cutMove(QPoint, QPoint) {}

void WidgetScreen::slot_cutQuit(QString strFile)
{
    emit signal_quit(strFile);
}
