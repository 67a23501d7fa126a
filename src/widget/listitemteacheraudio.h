#ifndef LISTITEMTEACHERAUDIO_H
#define LISTITEMTEACHERAUDIO_H

#include "utility/materialentity.h"
#include "utility/widget/audiomediawithagoramixingcontrolutil.h"

#include <QWidget>

class QListWidgetItem;
class QMediaPlayer;
namespace Ui {
class ListItemTeacherAudio;
}

// An audio material on disk: play, pause and resume it into the class's
// RTC channel. The row's own player is muted; it only moves the slider and
// the elapsed time. Starting another row, or closing the panel, stops it.
class ListItemTeacherAudio : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *kPlayingNameColor = "#ff8278";
    static constexpr const char *kNameColor = "#666666";
    static constexpr const char *kCurrentBackground = "#dcdcdc";
    static constexpr const char *kBackground = "#f0f0f0";

    explicit ListItemTeacherAudio(QWidget *parent = nullptr);
    ~ListItemTeacherAudio() override;

    void bindData(QListWidgetItem *item, const VoiceMaterial &voice, const QString &audioFilePath);

    AudioMediaWithAgoraMixingControlUtil *control() { return &m_control; }
    QMediaPlayer *player() const { return m_player; }

public slots:
    void on_btnPlay_clicked();
    void slot_onPlay();
    void slot_onPause();
    void slot_onResume();
    void slot_onFinished();
    void slot_durationChanged(qlonglong duration);
    void slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void slot_onStartAudioMixing();
    void slot_list_widget_closed();

private:
    void setAudioNameStatus();

    Ui::ListItemTeacherAudio *ui;
    AudioMediaWithAgoraMixingControlUtil m_control;
    QMediaPlayer *m_player;
    QListWidgetItem *m_item = nullptr;
};

#endif // LISTITEMTEACHERAUDIO_H
