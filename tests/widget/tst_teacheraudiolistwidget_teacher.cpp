// The teacher's audio panel against the stand-in lesson service and the
// real (muted) player on generated sound files: download rows and player
// rows, play, pause, resume and the end of the file, one row at a time,
// closing the panel, and the engine's mixing calls in order.

#include "lessonservice.h"
#include "messagecatcher.h"
#include "mixingcalls.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "utility/appdirs.h"
#include "utility/widget/loadingwidget.h"
#include "widget/listitemteacheraudio.h"
#include "widget/listitemteacheraudionotdownloaded.h"
#include "widget/teacheraudiolistwidget.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {

const QString kClass = QStringLiteral("10001");

QString media(const char *name)
{
    return QStringLiteral(LESSONRY_TEST_MEDIA_DIR "/") + QLatin1String(name);
}

template<typename T>
T *rowWidget(TeacherAudioListWidget &panel, int row)
{
    auto *list = panel.findChild<QListWidget *>(QStringLiteral("listWidget"));
    return qobject_cast<T *>(list->itemWidget(list->item(row)));
}

template<typename T>
T *child(QWidget *widget, const char *name)
{
    return widget->findChild<T *>(QLatin1String(name));
}

bool nameColoured(ListItemTeacherAudio *row, const char *color)
{
    return child<QLabel>(row, "labelName")->styleSheet().contains(QLatin1String(color));
}

} // namespace

class TestTeacherAudioListWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void noAudioSaysSo();
    void rowsFollowTheDisk();
    void downloadRowBecomesAPlayerRow();
    void failedDownloadOffersTheButtonAgain();
    void playPauseResumeToTheEnd();
    void anotherRowStopsThePlayingOne();
    void closingThePanelStopsIt();

private:
    VoiceMaterial voice(const QString &file, const QString &name = QString()) const;
    void putOnDisk(const VoiceMaterial &voice, const QString &source);
    ListItemTeacherAudio *showDownloaded(TeacherAudioListWidget &panel, const QVector<VoiceMaterial> &materials);

    LessonService m_service;
    QString m_folder;
};

void TestTeacherAudioListWidget::initTestCase()
{
    QVERIFY(m_service.start());
    m_folder = getDownloadResourceDir(kClass);
}

void TestTeacherAudioListWidget::init()
{
    m_service.reset();
    QDir(m_folder).removeRecursively();
    QDir().mkpath(m_folder);
}

VoiceMaterial TestTeacherAudioListWidget::voice(const QString &file, const QString &name) const
{
    VoiceMaterial material;
    material.id = file;
    material.voice = m_service.fixtureUrl(file);
    material.name = name.isEmpty() ? file : name;
    return material;
}

void TestTeacherAudioListWidget::putOnDisk(const VoiceMaterial &material, const QString &source)
{
    const QString target = NetWorkDownloadReplyHolder::getFilePath(material.voice, m_folder);
    if (source.isEmpty()) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QFile::copy(source, target));
    }
}

// The panel shown on materials whose files (the test media of their names)
// are downloaded; its first row.
ListItemTeacherAudio *TestTeacherAudioListWidget::showDownloaded(TeacherAudioListWidget &panel,
                                                                 const QVector<VoiceMaterial> &materials)
{
    for (const VoiceMaterial &material : materials)
        putOnDisk(material, QStringLiteral(LESSONRY_TEST_MEDIA_DIR "/") + material.id);
    panel.show();
    panel.setAudioMaterials(kClass, materials);
    return rowWidget<ListItemTeacherAudio>(panel, 0);
}

void TestTeacherAudioListWidget::noAudioSaysSo()
{
    TeacherAudioListWidget panel;
    panel.setAudioMaterials(kClass, {});
    QCOMPARE(panel.loadingWidget()->getLoadingState(), int(LoadingWidget::StateNoData));
    QVERIFY(panel.loadingWidget()->findChild<QLabel *>(QString())); // the state text is shown
    bool found = false;
    for (QLabel *label : panel.loadingWidget()->findChildren<QLabel *>())
        found = found || label->text() == QLatin1String("no audio");
    QVERIFY(found);
    // Materials given later are listed in its place.
    panel.setAudioMaterials(kClass, { voice(QStringLiteral("lesson-audio.mp3")) });
    QCOMPARE(panel.loadingWidget()->getLoadingState(), int(LoadingWidget::StateContent));
    QVERIFY(rowWidget<ListItemTeacherAudioNotDownloaded>(panel, 0));
}

void TestTeacherAudioListWidget::rowsFollowTheDisk()
{
    const VoiceMaterial present = voice(QStringLiteral("tone.mp3"), QStringLiteral("<b>Song</b>"));
    const VoiceMaterial empty = voice(QStringLiteral("clip-sound.mp3"));
    const VoiceMaterial absent = voice(QStringLiteral("lesson-audio.mp3"));
    putOnDisk(present, media("tone.mp3"));
    putOnDisk(empty, QString()); // there, if empty: being there is enough
    TeacherAudioListWidget panel;
    panel.setAudioMaterials(kClass, { present, empty, absent });
    QVERIFY(rowWidget<ListItemTeacherAudio>(panel, 0));
    QVERIFY(rowWidget<ListItemTeacherAudio>(panel, 1));
    QVERIFY(rowWidget<ListItemTeacherAudioNotDownloaded>(panel, 2));
    // A name from the server is text, never markup.
    QLabel *name = child<QLabel>(rowWidget<ListItemTeacherAudio>(panel, 0), "labelName");
    QCOMPARE(name->text(), QStringLiteral("<b>Song</b>"));
    QCOMPARE(name->textFormat(), Qt::PlainText);
    QCOMPARE(child<QLabel>(rowWidget<ListItemTeacherAudioNotDownloaded>(panel, 2), "labelAudioName")->textFormat(),
             Qt::PlainText);
    // The whole time comes from the media storage.
    QTRY_COMPARE(child<QLabel>(rowWidget<ListItemTeacherAudio>(panel, 0), "labelWholeTime")->text(),
                 QStringLiteral("00:03"));
    QVERIFY(!child<QSlider>(rowWidget<ListItemTeacherAudio>(panel, 0), "sliderMedia")->isEnabled());
}

void TestTeacherAudioListWidget::downloadRowBecomesAPlayerRow()
{
    TeacherAudioListWidget panel;
    panel.resize(400, 420);
    panel.show();
    const VoiceMaterial material = voice(QStringLiteral("tone.mp3"));
    panel.setAudioMaterials(kClass, { material });
    QPointer<ListItemTeacherAudioNotDownloaded> row = rowWidget<ListItemTeacherAudioNotDownloaded>(panel, 0);
    QVERIFY(row);
    QTest::mouseClick(child<QPushButton>(row, "btnDownload"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(rowWidget<ListItemTeacherAudio>(panel, 0), 20000);
    QVERIFY(NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(material.voice, m_folder));
    QTRY_VERIFY(!row);
}

void TestTeacherAudioListWidget::failedDownloadOffersTheButtonAgain()
{
    QVERIFY(m_service.setFault(QStringLiteral("/files/tone.mp3"), QStringLiteral("status"),
                               { { QStringLiteral("status"), 404 } }));
    MessageCatcher catcher;
    TeacherAudioListWidget panel;
    panel.show();
    panel.setAudioMaterials(kClass, { voice(QStringLiteral("tone.mp3")) });
    auto *row = rowWidget<ListItemTeacherAudioNotDownloaded>(panel, 0);
    auto *button = child<QPushButton>(row, "btnDownload");
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), 20000);
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("download failed. errorCode:")));
    QCOMPARE(rowWidget<ListItemTeacherAudioNotDownloaded>(panel, 0), row);
}

void TestTeacherAudioListWidget::playPauseResumeToTheEnd()
{
    const VoiceMaterial material = voice(QStringLiteral("tone.mp3"));
    MessageCatcher catcher;
    TeacherAudioListWidget panel;
    ListItemTeacherAudio *row = showDownloaded(panel, { material });
    auto *button = child<QPushButton>(row, "btnPlay");
    auto *slider = child<QSlider>(row, "sliderMedia");
    auto *elapsed = child<QLabel>(row, "labelCurTime");
    QVERIFY(row->player()->isMuted());

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(row->control()->getIsPlaying());
    QVERIFY(nameColoured(row, ListItemTeacherAudio::kPlayingNameColor));
    QVERIFY(button->styleSheet().contains(QLatin1String("icon_audio_pause.png")));
    // The current row is marked.
    QVERIFY(child<QWidget>(row, "widgetRoot")->styleSheet().contains(QLatin1String(ListItemTeacherAudio::kCurrentBackground)));
    QTRY_VERIFY_WITH_TIMEOUT(slider->value() > 1, 10000);
    QVERIFY(elapsed->text().startsWith(QLatin1String("00:0")));

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(row->control()->getIsPaused());
    QVERIFY(nameColoured(row, ListItemTeacherAudio::kPlayingNameColor));
    QVERIFY(button->styleSheet().contains(QLatin1String("icon_audio_play.png")));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!row->control()->getIsPaused());

    QSignalSpy finished(row->control(), &AudioMediaControlUtil::signal_onFinished);
    QVERIFY(finished.wait(20000));
    QVERIFY(!row->control()->getIsPlaying());
    QVERIFY(nameColoured(row, ListItemTeacherAudio::kNameColor));
    QCOMPARE(elapsed->text(), QStringLiteral("00:00"));
    QCOMPARE(slider->value(), 1);
    const QStringList calls = mixingCalls();
    QCOMPARE(calls.size(), 4);
    QVERIFY(calls.at(0).startsWith(QLatin1String("startAudioMixing filePath:")
                                   + NetWorkDownloadReplyHolder::getFilePath(material.voice, m_folder)));
    QVERIFY(calls.at(1).startsWith(QLatin1String("pauseAudioMixing")));
    QVERIFY(calls.at(2).startsWith(QLatin1String("resumeAudioMixing")));
    QCOMPARE(calls.at(3), QStringLiteral("stopAudioMixing"));

    // Played again after its end: its own new start does not stop it.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(row->control()->getIsPlaying());
    QCOMPARE(mixingCalls().size(), 5);
    row->control()->reset();
}

void TestTeacherAudioListWidget::anotherRowStopsThePlayingOne()
{
    const VoiceMaterial first = voice(QStringLiteral("tone.mp3"));
    const VoiceMaterial second = voice(QStringLiteral("clip-sound.mp3"));
    MessageCatcher catcher;
    TeacherAudioListWidget panel;
    ListItemTeacherAudio *a = showDownloaded(panel, { first, second });
    ListItemTeacherAudio *b = rowWidget<ListItemTeacherAudio>(panel, 1);
    QTest::mouseClick(child<QPushButton>(a, "btnPlay"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(b, "btnPlay"), Qt::LeftButton);
    QVERIFY(!a->control()->getIsPlaying());
    QVERIFY(b->control()->getIsPlaying());
    QVERIFY(nameColoured(a, ListItemTeacherAudio::kNameColor));
    QVERIFY(nameColoured(b, ListItemTeacherAudio::kPlayingNameColor));
    QCOMPARE(child<QSlider>(a, "sliderMedia")->value(), 1);
    QVERIFY(child<QWidget>(a, "widgetRoot")->styleSheet().contains(QLatin1String(ListItemTeacherAudio::kBackground)));
    // A's file is stopped before B's starts.
    const QStringList calls = mixingCalls();
    QCOMPARE(calls.size(), 3);
    QVERIFY(calls.at(0).contains(NetWorkDownloadReplyHolder::getFilePath(first.voice, m_folder)));
    QCOMPARE(calls.at(1), QStringLiteral("stopAudioMixing"));
    QVERIFY(calls.at(2).contains(NetWorkDownloadReplyHolder::getFilePath(second.voice, m_folder)));
    b->control()->reset();
}

void TestTeacherAudioListWidget::closingThePanelStopsIt()
{
    const VoiceMaterial material = voice(QStringLiteral("tone.mp3"));
    MessageCatcher catcher;
    TeacherAudioListWidget panel;
    ListItemTeacherAudio *row = showDownloaded(panel, { material });
    QTest::mouseClick(child<QPushButton>(row, "btnPlay"), Qt::LeftButton);
    QVERIFY(row->control()->getIsPlaying());
    QSignalSpy closed(&panel, &BaseMainWidget::signal_close);
    QTest::mouseClick(child<QPushButton>(&panel, "closePushButton"), Qt::LeftButton);
    QCOMPARE(closed.size(), 1);
    QVERIFY(!row->control()->getIsPlaying());
    QCOMPARE(row->player()->state(), QMediaPlayer::StoppedState);
    QCOMPARE(mixingCalls().last(), QStringLiteral("stopAudioMixing"));
}

QTEST_MAIN(TestTeacherAudioListWidget)
#include "tst_teacheraudiolistwidget_teacher.moc"
