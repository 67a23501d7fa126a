#include "mediatimeview.h"

#include "utility/widget/stylesheetutil.h"

#include <QDebug>

void MediaTimeView::bind(QAbstractSlider *slider, QLabel *currentTimeLabel, QLabel *totalTimeLabel)
{
    m_slider = slider;
    m_currentTimeLabel = currentTimeLabel;
    m_totalTimeLabel = totalTimeLabel;
    if (m_slider)
        m_slider->setMinimum(1);
}

QString MediaTimeView::formatDuration(int ms)
{
    const int seconds = ms / 1000;
    const int hours = ms / 3600000;
    const int minutes = (seconds - hours * 3600) / 60;
    const int rest = (seconds - hours * 3600) % 60;
    qInfo("duration:%d, durationSeconds:%d, minutes:%d, seconds:%d", ms, seconds, minutes, rest);
    if (seconds < 3600)
        return QString::asprintf("%02d:%02d", minutes, rest);
    qInfo("hours:%d", hours);
    return QString::asprintf("%02d:%02d:%02d", hours, minutes, rest);
}

void MediaTimeView::showPosition(qlonglong position)
{
    qInfo("slot_curPosTimer_timeout, currentPosition:%d", int(position));
    if (position <= 0)
        return;
    const QString text = formatDuration(int(qMin<qlonglong>(position, kMaxDurationMs)));
    qInfo("currentPositionString:%s", qUtf8Printable(text));
    if (m_currentTimeLabel)
        m_currentTimeLabel->setText(text);
    if (m_slider) {
        StyleSheetUtil::setBackgroundColor(m_slider, QStringLiteral("QSlider::handle"), QStringLiteral("#ff8278"));
        m_slider->setValue(int(qMin<qlonglong>(position, kMaxDurationMs)));
    }
}

void MediaTimeView::showStart(bool withSlider)
{
    qInfo("resetCurTime");
    if (m_currentTimeLabel)
        m_currentTimeLabel->setText(QStringLiteral("00:00"));
    if (withSlider && m_slider) {
        StyleSheetUtil::setBackgroundColor(m_slider, QStringLiteral("QSlider::handle"), QStringLiteral("#ffffff"));
        m_slider->setValue(1);
    }
}

void MediaTimeView::setWholeDuration(int ms)
{
    m_wholeDurationMs = ms;
    const QString text = formatDuration(ms);
    if (m_slider)
        m_slider->setMaximum(ms);
    if (m_totalTimeLabel)
        m_totalTimeLabel->setText(text);
    qInfo("updateWholeTime, audioTotalDuration:%d, durationString:%s", ms, qUtf8Printable(text));
}
