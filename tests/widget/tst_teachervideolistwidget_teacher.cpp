// The teacher's video list and lesson-plan window against the stand-in
// lesson service: download tiles and play tiles, the sound and video files
// of a download, the warning before every play, playing again while the
// player is open, and the lesson plan's link.

#include "coursedialogsrecorder.h"
#include "fakeplayerbackend.h"
#include "lessonservice.h"
#include "messagecatcher.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "platform/player/avplayer.h"
#include "platform/player/videooutput.h"
#include "utility/appdirs.h"
#include "utility/webpage.h"
#include "utility/widget/loadingwidget.h"
#include "widget/listitemteachervideo.h"
#include "widget/listitemteachervideonotdownloaded.h"
#include "widget/teacherteachingplanwidget.h"
#include "widget/teachervideolistwidget.h"
#include "widget/teachervideoplayerwidget.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kClass = QStringLiteral("10001");

template<typename T>
T *rowWidget(TeacherVideoListWidget &list, int row)
{
    return qobject_cast<T *>(list.listWidget()->itemWidget(list.listWidget()->item(row)));
}

} // namespace

class TestTeacherVideoListWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void noVideoSaysSo();
    void tilesFollowTheVideoFile();
    void downloadFetchesSoundThenVideo_data();
    void downloadFetchesSoundThenVideo();
    void failedDownloadOffersTheButtonAgain();
    void playWarnsAndOpensThePlayer();
    void planLinkOpensTheKeptAddress();
    void planAddressIsCheckedAndEscaped_data();
    void planAddressIsCheckedAndEscaped();

private:
    VideoMaterial video(const QString &id, const QString &file, const QString &sound) const;
    ClassInfoEntity classInfo() const;

    LessonService m_service;
    QString m_folder;
};

void TestTeacherVideoListWidget::initTestCase()
{
    QVERIFY(m_service.start());
    m_folder = getDownloadResourceDir(kClass);
}

void TestTeacherVideoListWidget::init()
{
    m_service.reset();
    QDir(m_folder).removeRecursively();
    QDir().mkpath(m_folder);
}

VideoMaterial TestTeacherVideoListWidget::video(const QString &id, const QString &file, const QString &sound) const
{
    VideoMaterial material;
    material.id = id;
    material.video = m_service.fixtureUrl(file);
    material.voice = sound.isEmpty() ? QString() : m_service.fixtureUrl(sound);
    material.name = QStringLiteral("Video ") + id;
    return material;
}

ClassInfoEntity TestTeacherVideoListWidget::classInfo() const
{
    ClassInfoEntity info;
    info.class_id = kClass;
    info.material.mid = QStringLiteral("m-7");
    return info;
}

void TestTeacherVideoListWidget::noVideoSaysSo()
{
    TeacherVideoListWidget list;
    list.setVideoMaterials(classInfo(), {});
    QCOMPARE(list.loadingWidget()->getLoadingState(), int(LoadingWidget::StateNoData));
    bool found = false;
    for (QLabel *label : list.loadingWidget()->findChildren<QLabel *>())
        found = found || label->text() == QLatin1String("no video");
    QVERIFY(found);
    // Videos given later are listed in its place.
    list.setVideoMaterials(classInfo(), { video(QStringLiteral("V-1"), QStringLiteral("clip.mp4"), QString()) });
    QCOMPARE(list.loadingWidget()->getLoadingState(), int(LoadingWidget::StateContent));
    QCOMPARE(list.listWidget()->count(), 1);
}

void TestTeacherVideoListWidget::tilesFollowTheVideoFile()
{
    const VideoMaterial present = video(QStringLiteral("V-1"), QStringLiteral("clip-silent.mp4"),
                                        QStringLiteral("clip-sound.mp3"));
    const VideoMaterial absent = video(QStringLiteral("V-2"), QStringLiteral("clip.mp4"), QString());
    // The video alone is there: enough for a play tile.
    QVERIFY(QFile::copy(QStringLiteral(LESSONRY_TEST_MEDIA_DIR "/clip-silent.mp4"),
                        NetWorkDownloadReplyHolder::getFilePath(present.video, m_folder)));
    TeacherVideoListWidget list;
    list.setVideoMaterials(classInfo(), { present, absent });
    auto *play = rowWidget<ListItemTeacherVideo>(list, 0);
    QVERIFY(play);
    QCOMPARE(play->videoFilePath(), NetWorkDownloadReplyHolder::getFilePath(present.video, m_folder));
    // The missing sound's path is passed on all the same.
    QCOMPARE(play->audioFilePath(), NetWorkDownloadReplyHolder::getFilePath(present.voice, m_folder));
    QVERIFY(!QFile::exists(play->audioFilePath()));
    QVERIFY(rowWidget<ListItemTeacherVideoNotDownloaded>(list, 1));
    QCOMPARE(play->findChild<QLabel *>(QStringLiteral("labelName"))->textFormat(), Qt::PlainText);
}

void TestTeacherVideoListWidget::downloadFetchesSoundThenVideo_data()
{
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QStringList>("fetched");
    QTest::newRow("with its sound") << "clip-sound.mp3"
                                    << QStringList{ "/files/clip-sound.mp3", "/files/clip-silent.mp4" };
    QTest::newRow("without sound") << "" << QStringList{ "/files/clip-silent.mp4" };
}

void TestTeacherVideoListWidget::downloadFetchesSoundThenVideo()
{
    QFETCH(QString, sound);
    QFETCH(QStringList, fetched);
    const VideoMaterial material = video(QStringLiteral("V-1"), QStringLiteral("clip-silent.mp4"), sound);
    TeacherVideoListWidget list;
    list.show();
    list.setVideoMaterials(classInfo(), { material });
    auto *row = rowWidget<ListItemTeacherVideoNotDownloaded>(list, 0);
    QTest::mouseClick(row->findChild<QPushButton *>(QStringLiteral("btnDownload")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(rowWidget<ListItemTeacherVideo>(list, 0), 20000);
    QStringList paths;
    for (const QJsonValue &request : m_service.requests()) {
        const QString path = request.toObject().value(QStringLiteral("path")).toString();
        if (path.endsWith(QLatin1String(".mp4")) || path.endsWith(QLatin1String(".mp3")))
            paths << path;
    }
    QCOMPARE(paths, fetched);
}

void TestTeacherVideoListWidget::failedDownloadOffersTheButtonAgain()
{
    QVERIFY(m_service.setFault(QStringLiteral("/files/clip-silent.mp4"), QStringLiteral("status"),
                               { { QStringLiteral("status"), 404 } }));
    TeacherVideoListWidget list;
    list.show();
    list.setVideoMaterials(classInfo(), { video(QStringLiteral("V-1"), QStringLiteral("clip-silent.mp4"),
                                                QStringLiteral("clip-sound.mp3")) });
    auto *row = rowWidget<ListItemTeacherVideoNotDownloaded>(list, 0);
    auto *button = row->findChild<QPushButton *>(QStringLiteral("btnDownload"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), 20000);
    QCOMPARE(rowWidget<ListItemTeacherVideoNotDownloaded>(list, 0), row);
}

void TestTeacherVideoListWidget::playWarnsAndOpensThePlayer()
{
    FakePlayerBackend::Install install;
    CourseDialogsRecorder dialogs;
    const VideoMaterial material = video(QStringLiteral("V-1"), QStringLiteral("clip-silent.mp4"),
                                         QStringLiteral("clip-sound.mp3"));
    QVERIFY(QFile::copy(QStringLiteral(LESSONRY_TEST_MEDIA_DIR "/clip-silent.mp4"),
                        NetWorkDownloadReplyHolder::getFilePath(material.video, m_folder)));
    TeacherVideoListWidget list;
    list.setVideoMaterials(classInfo(), { material });
    auto *row = rowWidget<ListItemTeacherVideo>(list, 0);
    auto *button = row->findChild<QPushButton *>(QStringLiteral("btnPlay"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 1);
    QVERIFY(dialogs.boxes.first().contains(
        QLatin1String("students will be unable to hear your voice when playing the video, vice versa .\n"
                      "Pausing the video will make both sides be able to hear the other side again")));
    QPointer<TeacherVideoPlayerWidget> first = row->player();
    QVERIFY(first);
    QVERIFY(first->isMaximized());
    QVERIFY(first->testAttribute(Qt::WA_DeleteOnClose));
    // The player draws into the video widget, first in the window.
    QVERIFY(first->videoWidget());
    QCOMPARE(first->player()->renderer()->widget(), first->videoWidget());
    QCOMPARE(first->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout"))->indexOf(first->videoWidget()), 0);
    QCOMPARE(first->player()->videoDecoderPriority(), QStringList{ QStringLiteral("FFmpeg") });

    // Again while it is open: the open one closes and the video plays anew.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 2);
    QTRY_VERIFY(row->player() && row->player() != first);
    QTRY_VERIFY(!first);
    QPointer<TeacherVideoPlayerWidget> second = row->player();
    second->close();
    QTRY_VERIFY(!second);
    QVERIFY(!row->player());
}

void TestTeacherVideoListWidget::planLinkOpensTheKeptAddress()
{
    QStringList opened;
    WebPage::setOpener([&opened](const QUrl &url) {
        opened << url.toString();
        return true;
    });
    TeacherTeachingPlanWidget plan;
    plan.show();
    const QString address = QStringLiteral("https://plans.example/lesson?id=7&view=1");
    plan.setTeachingPlanUrl(address);
    QSignalSpy closed(&plan, &BaseMainWidget::signal_close);
    plan.slot_linkActivated(QStringLiteral("https://elsewhere.example/"));
    QCOMPARE(opened, QStringList{ address });
    QCOMPARE(closed.size(), 1);
    WebPage::setOpener({});
}

void TestTeacherVideoListWidget::planAddressIsCheckedAndEscaped_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QString>("shown");
    QTest::newRow("web page") << "https://plans.example/a?b=1&c=2" << true
                              << "<a href=\"https://plans.example/a?b=1&amp;c=2\">Access Lesson Plan";
    QTest::newRow("quote in the address") << "http://plans.example/\"><b>x</b>" << true
                                          << "<a href=\"http://plans.example/&quot;&gt;&lt;b&gt;x&lt;/b&gt;\">"
                                             "Access Lesson Plan";
    QTest::newRow("local file") << "file:///etc/passwd" << false << "No lesson plan";
    QTest::newRow("script") << "javascript:alert(1)" << false << "No lesson plan";
    QTest::newRow("empty") << "" << false << "No lesson plan";
}

void TestTeacherVideoListWidget::planAddressIsCheckedAndEscaped()
{
    QFETCH(QString, address);
    QFETCH(bool, offered);
    QFETCH(QString, shown);
    QStringList opened;
    WebPage::setOpener([&opened](const QUrl &url) {
        opened << url.toString();
        return true;
    });
    TeacherTeachingPlanWidget plan;
    plan.setTeachingPlanUrl(address);
    auto *label = plan.findChild<QLabel *>(QStringLiteral("labelAccess"));
    QCOMPARE(label->text(), shown);
    QCOMPARE(label->textFormat(), offered ? Qt::RichText : Qt::PlainText);
    plan.slot_linkActivated(address);
    QCOMPARE(opened.size(), offered ? 1 : 0);
    WebPage::setOpener({});
}

QTEST_MAIN(TestTeacherVideoListWidget)
#include "tst_teachervideolistwidget_teacher.moc"
