#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "biz/login/studentlogindataentity.h"
#include "lessonservice.h"
#include "messagecatcher.h"
#include "mgr/http/httpmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "testutil.h"
#include "utility/userinfo.h"
#include "utility/widget/filedialogs.h"
#include "videotilestestsupport.h"
#include "widget/chatmessagelist.h"
#include "widget/widgetmessage.h"
#include "widget/widgetmessageitemleft.h"
#include "widget/widgetmessageitemright.h"

namespace {

const char kOwnUid[] = "20001";
const char kTeacherUid[] = "30001";

template<typename T>
T *child(QWidget *panel, const char *name)
{
    return panel->findChild<T *>(QLatin1String(name));
}

ChatMessageList *list(WidgetMessage &panel)
{
    return child<ChatMessageList>(&panel, "listWidget");
}

template<typename Bubble>
Bubble *bubbleAt(WidgetMessage &panel, int row)
{
    return qobject_cast<Bubble *>(list(panel)->bubbleAt(row));
}

void pressKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
}

ImMsgInfo from(const QString &uid)
{
    ImMsgInfo info;
    info.uid = uid;
    return info;
}

QString md5Hex(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
}

} // namespace

// The chat panel in one process: the send keys, the input states, the
// observer mode, picture uploads with their faults, received messages and
// their bounds. (Two clients talking are tested with two processes in
// tst_chatpeers.)
class TestWidgetMessage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sendKeys_data();
    void sendKeys();
    void blankTextIsSentEmptyIsNot();
    void inputCollapsesAndExpands();
    void sendModeMenu();
    void observerOnlyShowsMessages();
    void threePicturesPairWithTheirFiles();
    void failedUploadShowsNothing_data();
    void failedUploadShowsNothing();
    void cancelledDialogUploadsNothing();
    void screenshotWithoutScreenEndsAtOnce();
    void receivedMessages();
    void badReceivedMessagesShowNothing_data();
    void badReceivedMessagesShowNothing();
    void historyIsBounded();
    void floodIsBuiltInShortTurns();
    void ownBubbleKeepsItsPlaceBehindWaitingOnes();
    void bubblesStackUnderEachOther_data();
    void bubblesStackUnderEachOther();

private:
    QString picture(const QString &name, const QColor &color);
    static void verifyStacked(WidgetMessage &panel);

    LessonService m_service;
    QTemporaryDir m_files;
    UserList m_roster;
};

void TestWidgetMessage::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    StudentLoginDataEntity user;
    user.id = QLatin1String(kOwnUid);
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    m_roster.addUser(VideoTilesTestSupport::person(QStringLiteral("Ms. Green"), QLatin1String(kTeacherUid), 2));
    m_roster.setTeacherIdx(0);
    m_roster.addUser(VideoTilesTestSupport::person(QStringLiteral("Sam"), QLatin1String(kOwnUid), 1));
    m_roster.setCurUserIdx(1);
}

void TestWidgetMessage::init()
{
    m_service.reset();
}

void TestWidgetMessage::cleanup()
{
    FileDialogs::setOpenHandler({});
}

QString TestWidgetMessage::picture(const QString &name, const QColor &color)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(color);
    const QString path = m_files.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

void TestWidgetMessage::sendKeys_data()
{
    QTest::addColumn<bool>("ctrlEnterMode");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("control");
    QTest::addColumn<bool>("sends");
    QTest::newRow("enter mode, Enter") << false << int(Qt::Key_Return) << false << true;
    QTest::newRow("enter mode, keypad Enter") << false << int(Qt::Key_Enter) << false << true;
    QTest::newRow("enter mode, Ctrl+Enter") << false << int(Qt::Key_Return) << true << false;
    QTest::newRow("ctrl mode, Ctrl+Enter") << true << int(Qt::Key_Return) << true << true;
    QTest::newRow("ctrl mode, Enter") << true << int(Qt::Key_Return) << false << false;
}

// The sending key sends; the other adds an empty line at the end; neither
// reaches the text edit as a key press.
void TestWidgetMessage::sendKeys()
{
    QFETCH(bool, ctrlEnterMode);
    QFETCH(int, key);
    QFETCH(bool, control);
    QFETCH(bool, sends);
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    QCOMPARE(child<QRadioButton>(&panel, "radioButtonEnter")->isChecked(), true);
    if (ctrlEnterMode)
        child<QRadioButton>(&panel, "radioButtonCtrlEnter")->click();
    QCOMPARE(panel.isCtrlEnterMode(), ctrlEnterMode);
    auto *edit = child<QTextEdit>(&panel, "textEdit");
    edit->setPlainText(QStringLiteral("hello"));
    pressKey(edit, key, control ? Qt::ControlModifier : Qt::NoModifier);
    if (sends) {
        QCOMPARE(list(panel)->count(), 1);
        auto *bubble = bubbleAt<WidgetMessageItemRight>(panel, 0);
        QVERIFY(bubble);
        QCOMPARE(bubble->content(), QStringLiteral("hello"));
        QCOMPARE(edit->toPlainText(), QString());
        QCOMPARE(bubble->geometry().top(), 0);
    } else {
        QCOMPARE(list(panel)->count(), 0);
        QCOMPARE(edit->toPlainText(), QStringLiteral("hello\n"));
    }
}

void TestWidgetMessage::blankTextIsSentEmptyIsNot()
{
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    auto *edit = child<QTextEdit>(&panel, "textEdit");
    child<QPushButton>(&panel, "btnSend")->click();
    QCOMPARE(list(panel)->count(), 0);
    edit->setPlainText(QStringLiteral("   "));
    MessageCatcher catcher;
    child<QPushButton>(&panel, "btnSend")->click();
    QCOMPARE(list(panel)->count(), 1);
    QCOMPARE(bubbleAt<WidgetMessageItemRight>(panel, 0)->content(), QStringLiteral("   "));
    QVERIFY(catcher.has(QtInfoMsg, QStringLiteral("sendTextMsg uid:20001")));
}

// Focus on the list collapses the input to the reminder bar; focus on the
// reminder bar brings the input back with the text edit focused.
void TestWidgetMessage::inputCollapsesAndExpands()
{
    WidgetMessage panel;
    auto *reminder = child<QWidget>(&panel, "reminderWidget");
    auto *input = child<QWidget>(&panel, "inputMessageWidget");
    QVERIFY(reminder->isHidden() && !input->isHidden());
    QFocusEvent listFocus(QEvent::FocusIn);
    QApplication::sendEvent(list(panel), &listFocus);
    QVERIFY(!reminder->isHidden() && input->isHidden());
    QFocusEvent lineFocus(QEvent::FocusIn);
    QApplication::sendEvent(child<QLineEdit>(&panel, "reminderLineEdit"), &lineFocus);
    QVERIFY(reminder->isHidden() && !input->isHidden());
}

void TestWidgetMessage::sendModeMenu()
{
    WidgetMessage panel;
    auto *menu = child<QWidget>(&panel, "widgetHortcut");
    QVERIFY(menu->isHidden());
    child<QPushButton>(&panel, "btnMenu")->click();
    QVERIFY(!menu->isHidden());
    child<QRadioButton>(&panel, "radioButtonCtrlEnter")->click();
    QVERIFY(menu->isHidden());
    QVERIFY(panel.isCtrlEnterMode());
    child<QPushButton>(&panel, "btnMenu")->click();
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(child<QTextEdit>(&panel, "textEdit"), &focus);
    QVERIFY(menu->isHidden());
    // Every new panel starts with Enter.
    WidgetMessage other;
    QVERIFY(!other.isCtrlEnterMode());
}

void TestWidgetMessage::observerOnlyShowsMessages()
{
    WidgetMessage panel;
    panel.supervisionWidgetMessage();
    QVERIFY(child<QWidget>(&panel, "reminderWidget")->isHidden());
    QVERIFY(child<QWidget>(&panel, "inputMessageWidget")->isHidden());
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(list(panel), &focus);
    QVERIFY(child<QWidget>(&panel, "reminderWidget")->isHidden());
    TextMessage text;
    text.content = QStringLiteral("hi");
    panel.slot_receiveTextMsg(from(QLatin1String(kTeacherUid)), text);
    QTRY_COMPARE(list(panel)->count(), 1);
}

// Three files chosen at once: three uploads, and as the answers come three
// bubbles, each showing the file it uploaded and sending that file's address.
void TestWidgetMessage::threePicturesPairWithTheirFiles()
{
    const QStringList files { picture(QStringLiteral("red.png"), Qt::red), picture(QStringLiteral("green.png"), Qt::green),
                              picture(QStringLiteral("blue.png"), Qt::blue) };
    FileDialogs::setOpenHandler([&](const FileDialogs::Request &request) {
        return request.directory.isEmpty() ? files : QStringList();
    });
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    QSignalSpy finished(&panel, &WidgetMessage::signal_clickCutImageFinish);
    MessageCatcher catcher;
    child<QPushButton>(&panel, "btnPic")->click();
    QCOMPARE(finished.count(), 3);
    QTRY_COMPARE(list(panel)->count(), 3);
    QCOMPARE(m_service.requests().size(), 3);

    QSet<QString> shown;
    for (int row = 0; row < 3; ++row) {
        auto *bubble = bubbleAt<WidgetMessageItemRight>(panel, row);
        QVERIFY(bubble);
        shown << bubble->content();
    }
    QCOMPARE(shown, QSet<QString>(files.begin(), files.end()));
    // Each message's address is the upload of the file its bubble shows:
    // the service names each upload after its content's MD5.
    QStringList sent;
    for (const QString &line : catcher.lines()) {
        if (line.startsWith(QLatin1String("sendImageMsg uid:20001 url:")))
            sent << line.section(QLatin1String(" url:"), 1);
    }
    QCOMPARE(sent.size(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString file = bubbleAt<WidgetMessageItemRight>(panel, row)->content();
        QVERIFY2(sent.at(row).contains(md5Hex(file).left(12)), qPrintable(sent.at(row) + " " + file));
    }
}

void TestWidgetMessage::failedUploadShowsNothing_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QJsonObject>("extra");
    QTest::newRow("refused") << "status" << QJsonObject { { "status", 500 } };
    QTest::newRow("not JSON") << "nonjson" << QJsonObject();
    QTest::newRow("error code") << "body"
                                << QJsonObject { { "body", QStringLiteral("{\"errorCode\":401,\"errorMsg\":\"no\",\"data\":{}}") } };
    QTest::newRow("no url") << "body" << QJsonObject { { "body", QStringLiteral("{\"errorCode\":200,\"errorMsg\":\"ok\",\"data\":{}}") } };
    QTest::newRow("url not http") << "body"
                                  << QJsonObject { { "body", QStringLiteral("{\"errorCode\":200,\"errorMsg\":\"ok\",\"data\":{\"url\":\"file:///etc/passwd\"}}") } };
}

// Any failed upload leaves no bubble and sends no message.
void TestWidgetMessage::failedUploadShowsNothing()
{
    QFETCH(QString, mode);
    QFETCH(QJsonObject, extra);
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/chatPic"), mode, extra));
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    MessageCatcher catcher;
    panel.slot_SendImage(picture(QStringLiteral("fail.png"), Qt::yellow));
    QTRY_COMPARE(m_service.requests().size(), 1);
    QTRY_VERIFY(catcher.has(QtWarningMsg, QStringLiteral("chat picture upload failed"))
                || catcher.has(QtCriticalMsg, QStringLiteral("without a usable url")));
    TestUtil::drainEvents();
    QCOMPARE(list(panel)->count(), 0);
    QVERIFY(!catcher.has(QtInfoMsg, QStringLiteral("sendImageMsg")));
}

void TestWidgetMessage::cancelledDialogUploadsNothing()
{
    FileDialogs::setOpenHandler([](const FileDialogs::Request &) { return QStringList(); });
    WidgetMessage panel;
    QSignalSpy finished(&panel, &WidgetMessage::signal_clickCutImageFinish);
    child<QPushButton>(&panel, "btnPic")->click();
    TestUtil::drainEvents();
    QCOMPARE(finished.count(), 0);
    QCOMPARE(m_service.requests().size(), 0);
}

// Offscreen there is no screen picture: the tool ends at once, the
// classroom is told it may come back, and nothing is uploaded.
void TestWidgetMessage::screenshotWithoutScreenEndsAtOnce()
{
    WidgetMessage panel;
    QSignalSpy clicked(&panel, &WidgetMessage::signal_clickCutImage);
    QSignalSpy finished(&panel, &WidgetMessage::signal_clickCutImageFinish);
    child<QPushButton>(&panel, "btnCut")->click();
    QCOMPARE(clicked.count(), 1);
    panel.slot_cutImage();
    QCOMPARE(finished.count(), 1);
    TestUtil::drainEvents();
    QCOMPARE(m_service.requests().size(), 0);
}

// A text bubble takes the name from the roster (empty for an unknown uid);
// a picture bubble from the message.
void TestWidgetMessage::receivedMessages()
{
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    TextMessage text;
    text.nickname = QStringLiteral("ignored");
    text.content = QStringLiteral("Good morning");
    panel.slot_receiveTextMsg(from(QLatin1String(kTeacherUid)), text);
    panel.slot_receiveTextMsg(from(QStringLiteral("99999")), text);
    ImageMessage image;
    image.nickname = QStringLiteral("Stranger");
    image.url = m_service.fixtureUrl(QStringLiteral("cover.png"));
    panel.slot_receiveImageMsg(from(QStringLiteral("99999")), image);
    QTRY_COMPARE(list(panel)->count(), 3);
    const auto name = [&](int row) {
        return bubbleAt<WidgetMessageItemLeft>(panel, row)->findChild<QLabel *>(QStringLiteral("labelName"))->text();
    };
    QCOMPARE(name(0), QStringLiteral("Ms. Green"));
    QCOMPARE(name(1), QString());
    QCOMPARE(name(2), QStringLiteral("Stranger"));
    QTRY_VERIFY(bubbleAt<WidgetMessageItemLeft>(panel, 2)->pictureSource() != image.url);
}

void TestWidgetMessage::badReceivedMessagesShowNothing_data()
{
    QTest::addColumn<QString>("envelope");
    const QString head = QStringLiteral("{\"version\":1,\"sequence\":1,\"type\":%1,\"src\":0,\"sender\":\"30001\",\"uuid\":\"%2\",\"data\":%3}");
    QTest::newRow("text without content") << head.arg(1).arg("u1").arg("{\"nickname\":\"x\"}");
    QTest::newRow("text content an object") << head.arg(1).arg("u2").arg("{\"content\":{\"a\":1}}");
    QTest::newRow("text data a string") << head.arg(1).arg("u3").arg("\"content\"");
    QTest::newRow("picture without url") << head.arg(2).arg("u4").arg("{\"nickname\":\"x\",\"type\":\".png\"}");
    QTest::newRow("picture url an array") << head.arg(2).arg("u5").arg("{\"url\":[\"http://127.0.0.1/x.png\"]}");
}

// Messages with missing or mistyped fields show nothing and are logged.
void TestWidgetMessage::badReceivedMessagesShowNothing()
{
    QFETCH(QString, envelope);
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    MessageCatcher catcher;
    SendAndReceiveMsg::instance()->receiveMsg(envelope);
    TestUtil::drainEvents();
    QCOMPARE(list(panel)->count(), 0);
    QVERIFY(catcher.has(QtWarningMsg, QStringLiteral("nothing shown")));
}

// A flood of messages keeps only the newest kMaxBubbles bubbles.
void TestWidgetMessage::historyIsBounded()
{
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    TextMessage text;
    for (int i = 0; i <= WidgetMessage::kMaxBubbles; ++i) {
        text.content = QString::number(i);
        panel.slot_receiveTextMsg(from(QLatin1String(kTeacherUid)), text);
    }
    // The bubbles are built in short turns: a loaded machine takes a while.
    QTRY_COMPARE_WITH_TIMEOUT(list(panel)->count(), WidgetMessage::kMaxBubbles, 60000);
    TestUtil::drainEvents();
    QCOMPARE(list(panel)->count(), WidgetMessage::kMaxBubbles);
    auto *first = bubbleAt<WidgetMessageItemLeft>(panel, 0);
    QCOMPARE(first->findChild<QLabel *>(QStringLiteral("labelMessage"))->text(), QStringLiteral("1"));
    verifyStacked(panel);
}

// Received all at once, 2500 texts are built a few at a time: the thread
// gets back to its other events between the turns (a short timer keeps
// firing), none of the newest 2000 is lost, and the order holds.
void TestWidgetMessage::floodIsBuiltInShortTurns()
{
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    panel.resize(280, 600);
    panel.show();
    const int sent = 2500;
    TextMessage text;
    for (int i = 0; i < sent; ++i) {
        text.content = QStringLiteral("flood %1").arg(i);
        panel.slot_receiveTextMsg(from(QLatin1String(kTeacherUid)), text);
    }
    QCOMPARE(list(panel)->count(), 0);
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer tick;
    tick.setInterval(1);
    connect(&tick, &QTimer::timeout, this, [&] {
        const qint64 now = clock.elapsed();
        longestGap = qMax(longestGap, now - last);
        last = now;
        ++ticks;
    });
    tick.start();
    QTRY_COMPARE_WITH_TIMEOUT(list(panel)->count(), WidgetMessage::kMaxBubbles, 60000);
    TestUtil::drainEvents();
    tick.stop();
    QCOMPARE(list(panel)->count(), WidgetMessage::kMaxBubbles);
    // Many turns, each short (generous for a loaded machine: one turn
    // builds for at most a few milliseconds, one bubble at a time).
    QVERIFY2(ticks > 10, qPrintable(QString::number(ticks)));
    QVERIFY2(longestGap < 200, qPrintable(QStringLiteral("longest gap %1 ms").arg(longestGap)));
    const auto textAt = [&](int row) {
        return bubbleAt<WidgetMessageItemLeft>(panel, row)->findChild<QLabel *>(QStringLiteral("labelMessage"))->text();
    };
    QCOMPARE(textAt(0), QStringLiteral("flood %1").arg(sent - WidgetMessage::kMaxBubbles));
    QCOMPARE(textAt(WidgetMessage::kMaxBubbles - 1), QStringLiteral("flood %1").arg(sent - 1));
    verifyStacked(panel);
}

// An own text sent while received bubbles still wait shows after them.
void TestWidgetMessage::ownBubbleKeepsItsPlaceBehindWaitingOnes()
{
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    TextMessage text;
    for (int i = 0; i < 50; ++i) {
        text.content = QString::number(i);
        panel.slot_receiveTextMsg(from(QLatin1String(kTeacherUid)), text);
    }
    child<QTextEdit>(&panel, "textEdit")->setPlainText(QStringLiteral("mine"));
    panel.slot_send();
    QTRY_COMPARE(list(panel)->count(), 51);
    QVERIFY(qobject_cast<WidgetMessageItemRight *>(list(panel)->bubbleAt(50)));
    QVERIFY(qobject_cast<WidgetMessageItemLeft *>(list(panel)->bubbleAt(49)));
}

void TestWidgetMessage::bubblesStackUnderEachOther_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("one") << 1;
    QTest::newRow("fewer than fill the panel") << 4;
    QTest::newRow("more than fill the panel") << 40;
}

// Each bubble lies right under the one before it at its own height and the
// panel's width (inside the bubble's own bounds), the newest at the bottom
// and scrolled to, even after the user scrolled up; nothing overlaps, nothing
// leaves a gap.
void TestWidgetMessage::bubblesStackUnderEachOther()
{
    QFETCH(int, count);
    WidgetMessage panel;
    panel.setChannelAndUser(QStringLiteral("10001"), &m_roster);
    panel.resize(280, 600);
    panel.show();
    auto *edit = child<QTextEdit>(&panel, "textEdit");
    QVector<int> heights;
    for (int i = 0; i < count; ++i) {
        if (i == 2)
            list(panel)->verticalScrollBar()->setValue(0);
        TextMessage text;
        text.content = QStringLiteral("line %1 ").repeated(i % 6 + 1).arg(i);
        if (i % 3 == 1) {
            edit->setPlainText(text.content);
            panel.slot_send();
        } else if (i % 5 == 4) {
            ImageMessage image;
            image.url = QStringLiteral("ftp://127.0.0.1/x.png");
            panel.slot_receiveImageMsg(from(QLatin1String(kTeacherUid)), image);
        } else {
            panel.slot_receiveTextMsg(from(QLatin1String(kTeacherUid)), text);
        }
        QTRY_COMPARE(list(panel)->count(), i + 1);
        heights << list(panel)->bubbleAt(i)->height();
    }
    QCOMPARE(list(panel)->count(), count);
    verifyStacked(panel);
    for (int i = 0; i < count; ++i)
        QCOMPARE(list(panel)->bubbleAt(i)->height(), heights.at(i));
}

void TestWidgetMessage::verifyStacked(WidgetMessage &panel)
{
    ChatMessageList *messages = list(panel);
    QWidget *viewport = messages->viewport();
    int total = 0;
    QWidget *previous = nullptr;
    for (int row = 0; row < messages->count(); ++row) {
        QWidget *bubble = messages->bubbleAt(row);
        const QRect shown(bubble->mapTo(viewport, QPoint(0, 0)), bubble->size());
        QCOMPARE(shown.left(), 0);
        QCOMPARE(shown.width(), qBound(bubble->minimumWidth(), viewport->width(), bubble->maximumWidth()));
        QVERIFY(bubble->isVisibleTo(messages));
        if (previous)
            QCOMPARE(shown.top(), previous->mapTo(viewport, QPoint(0, previous->height())).y());
        previous = bubble;
        total += shown.height();
    }
    // The newest is at the bottom when the history is taller than the
    // panel, the oldest at the top otherwise.
    QScrollBar *bar = messages->verticalScrollBar();
    QCOMPARE(bar->maximum(), qMax(0, total - viewport->height()));
    QCOMPARE(bar->value(), bar->maximum());
    if (previous) {
        const int bottom = previous->mapTo(viewport, QPoint(0, previous->height())).y();
        QCOMPARE(bottom, total - bar->value());
    }
}

QTEST_MAIN(TestWidgetMessage)
#include "tst_widgetmessage.moc"
