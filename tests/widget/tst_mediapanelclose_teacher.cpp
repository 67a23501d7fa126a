// The close button of the teacher's lesson media windows (audio panel,
// video list, lesson plan): its picture is a strip of three 20 x 20 states
// (normal, hover, pressed), of which the button shows one, as every other
// close button of the client does, not the whole strip squeezed together.

#include "widget/teacheraudiolistwidget.h"
#include "widget/teacherteachingplanwidget.h"
#include "widget/teachervideolistwidget.h"

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using MakePanel = std::function<QWidget *()>;
Q_DECLARE_METATYPE(MakePanel)

class TestMediaPanelClose : public QObject
{
    Q_OBJECT

private slots:
    void closeButtonShowsOneState_data();
    void closeButtonShowsOneState();
};

void TestMediaPanelClose::closeButtonShowsOneState_data()
{
    QTest::addColumn<MakePanel>("make");
    QTest::newRow("audio panel") << MakePanel([] { return new TeacherAudioListWidget; });
    QTest::newRow("video list") << MakePanel([] { return new TeacherVideoListWidget; });
    QTest::newRow("lesson plan") << MakePanel([] { return new TeacherTeachingPlanWidget; });
}

void TestMediaPanelClose::closeButtonShowsOneState()
{
    QFETCH(MakePanel, make);
    std::unique_ptr<QWidget> panel(make());
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    auto *close = panel->findChild<QPushButton *>(QStringLiteral("closePushButton"));
    QVERIFY(close);
    QCOMPARE(close->size(), QSize(20, 20));

    // What the window shows there: the normal state over the title's white.
    const QImage window = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shown = window.copy(QRect(close->mapTo(panel.get(), QPoint(0, 0)), close->size()));
    const QImage strip(QStringLiteral(":/image/class/btn_close.png"));
    QCOMPARE(strip.size(), QSize(60, 20));
    QImage expected(20, 20, QImage::Format_RGB32);
    expected.fill(shown.pixel(0, 0));
    {
        QPainter painter(&expected);
        painter.drawImage(0, 0, strip, 0, 0, 20, 20);
    }
    int differing = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const QColor a(shown.pixel(x, y));
            const QColor b(expected.pixel(x, y));
            if (qAbs(a.red() - b.red()) > 8 || qAbs(a.green() - b.green()) > 8 || qAbs(a.blue() - b.blue()) > 8)
                ++differing;
        }
    }
    QCOMPARE(differing, 0);
}

QTEST_MAIN(TestMediaPanelClose)
#include "tst_mediapanelclose_teacher.moc"
