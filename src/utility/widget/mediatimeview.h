#ifndef MEDIATIMEVIEW_H
#define MEDIATIMEVIEW_H

#include <QAbstractSlider>
#include <QLabel>
#include <QPointer>
#include <QString>

// A medium's time on a progress slider and two labels, the same for the
// video players' and the audio rows' controls: the position (the handle
// coloured while it moves), the whole duration and the start. Any of the
// three may be null.
class MediaTimeView
{
public:
    // Durations beyond a day are not believed.
    static constexpr qint64 kMaxDurationMs = 24LL * 3600 * 1000;

    // The slider then starts at 1.
    void bind(QAbstractSlider *slider, QLabel *currentTimeLabel, QLabel *totalTimeLabel);

    // "mm:ss", or "hh:mm:ss" from an hour on.
    static QString formatDuration(int ms);

    // Nothing for 0 or less.
    void showPosition(qlonglong position);
    // The current-time label back to "00:00"; with withSlider the slider
    // back to its start too.
    void showStart(bool withSlider);
    void setWholeDuration(int ms);
    int wholeDuration() const { return m_wholeDurationMs; }

private:
    QPointer<QAbstractSlider> m_slider;
    QPointer<QLabel> m_currentTimeLabel;
    QPointer<QLabel> m_totalTimeLabel;
    int m_wholeDurationMs = 1;
};

#endif // MEDIATIMEVIEW_H
