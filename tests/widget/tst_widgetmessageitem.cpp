#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "biz/im/agora/agoramsgmgr.h"
#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "scopedtimescale.h"
#include "testutil.h"
#include "utility/downloadutil.h"
#include "widget/showenlargeimage.h"
#include "widget/widgetmessageitemleft.h"
#include "widget/widgetmessageitemright.h"

namespace {

QLabel *label(QWidget *bubble, const char *name)
{
    return bubble->findChild<QLabel *>(QLatin1String(name));
}

void doubleClick(QWidget *widget)
{
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void release(QWidget *widget)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QList<ShowEnlargeImage *> openViews()
{
    QList<ShowEnlargeImage *> views;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *view = qobject_cast<ShowEnlargeImage *>(top))
            views << view;
    }
    return views;
}

void closeViews()
{
    for (ShowEnlargeImage *view : openViews())
        delete view;
}

} // namespace

// One chat bubble each: texts laid out as plain text, pictures downloaded
// (received) or shown from the own file, the send state of an own message
// and the double-click that opens a picture enlarged. Received addresses
// and texts come from other participants and are bounded.
class TestWidgetMessageItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void textWidth_data();
    void textWidth();
    void textIsPlainAndBounded_data();
    void textIsPlainAndBounded();
    void receivedPictureShowsDefaultThenPicture();
    void refusedAddressesKeepDefault_data();
    void refusedAddressesKeepDefault();
    void oversizedPicturesAreRefused_data();
    void oversizedPicturesAreRefused();
    void ownPictureShownAtOnce();
    void unknownTypeLeavesBubbleEmpty();
    void sendStateFollowsReports();
    void refusedResendReturnsToFailed();
    void notTakenMessageShowsFailed();
    void loadingFramesAreShared();

private:
    QString upload(const QByteArray &data, const QString &name);

    LessonService m_service;
    QTemporaryDir m_files;
};

void TestWidgetMessageItem::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
}

void TestWidgetMessageItem::init()
{
    m_service.reset();
}

void TestWidgetMessageItem::cleanup()
{
    closeViews();
}

// Stores data on the service as a chat picture and returns its address.
QString TestWidgetMessageItem::upload(const QByteArray &data, const QString &name)
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return QString();
    file.close();
    NetWorkReplyHolder *reply = Singleton<HttpMgr>::instance()->upload(
        m_service.baseUrl() + QStringLiteral("/QXV1/Public/chatPic"), QStringLiteral("chatPic"), path, {});
    if (!reply)
        return QString();
    QSignalSpy success(reply, &NetWorkReplyHolder::signal_onSuccess);
    if (!success.wait(10000))
        return QString();
    const QJsonObject answer = QJsonDocument::fromJson(success.first().at(0).toString().toUtf8()).object();
    return answer.value(QLatin1String("data")).toObject().value(QLatin1String("url")).toString();
}

void TestWidgetMessageItem::textWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("one character") << "a" << 30;
    QTest::newRow("long text wraps") << QString(QStringLiteral("word ")).repeated(60) << 184;
}

// The width is the measured text x 1.5 + 5 inside 30..184; a longer text
// wraps and the bubble grows by its lines.
void TestWidgetMessageItem::textWidth()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    WidgetMessageItemLeft oneLine;
    oneLine.bindData(QStringLiteral("a"), IM_Text, QString(), QStringLiteral("Ann"));
    WidgetMessageItemLeft bubble;
    bubble.bindData(text, IM_Text, QString(), QStringLiteral("Ann"));
    QLabel *message = label(&bubble, "labelMessage");
    QCOMPARE(message->minimumWidth(), width);
    QCOMPARE(bubble.height(), label(&bubble, "labelName")->height() + message->height() + 33);
    // Tall enough for the whole text in the font it is shown in.
    QVERIFY(message->heightForWidth(message->width()) <= message->height());
    if (width == 184)
        QVERIFY(bubble.height() > oneLine.height() + message->fontMetrics().height());
}

void TestWidgetMessageItem::textIsPlainAndBounded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shownChars");
    const QString markup = QStringLiteral("<b>bold</b><img src=\"http://127.0.0.1:1/x.png\"><a href=\"http://x\">link</a>");
    QTest::newRow("markup") << markup << int(markup.size());
    QTest::newRow("blanks and new lines") << QStringLiteral("  \n\n  ") << 6;
    QTest::newRow("a megabyte") << QString(1 << 20, QLatin1Char('x')) << WidgetMessageItemBase::kMaxShownTextChars + 1;
}

// Other participants' texts are shown as they are, never as markup, and
// cut for the label when very long, on both sides.
void TestWidgetMessageItem::textIsPlainAndBounded()
{
    QFETCH(QString, text);
    QFETCH(int, shownChars);
    WidgetMessageItemLeft left;
    left.bindData(text, IM_Text, QString(), QString(300, QLatin1Char('n')));
    WidgetMessageItemRight right;
    right.bindData(text, IM_Text, QString(), QStringLiteral("{id}"));
    for (QWidget *bubble : { static_cast<QWidget *>(&left), static_cast<QWidget *>(&right) }) {
        QLabel *message = label(bubble, "labelMessage");
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QCOMPARE(message->text().size(), shownChars);
        QVERIFY(text.startsWith(message->text().left(WidgetMessageItemBase::kMaxShownTextChars)));
        QVERIFY(!message->openExternalLinks());
    }
    QCOMPARE(label(&left, "labelName")->text().size(), WidgetMessageItemBase::kMaxNameChars + 1);
    QCOMPARE(right.content(), text);
    TestUtil::drainEvents();
    QCOMPARE(m_service.requests().size(), 0);
}

// The default picture until the download ends, then the downloaded one;
// a double-click before that opens the view with the address, which shows
// nothing; after it, the downloaded file.
void TestWidgetMessageItem::receivedPictureShowsDefaultThenPicture()
{
    const QString url = m_service.fixtureUrl(QStringLiteral("cover.png"));
    WidgetMessageItemLeft bubble;
    bubble.bindData(url, IM_Picture, QString(), QStringLiteral("Ann"));
    QLabel *picture = label(&bubble, "labelMessage");
    QVERIFY(!picture->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(bubble.height(), WidgetMessageItemBase::kPictureBubbleHeight);
    QCOMPARE(picture->size(), QSize(80, 88));
    QCOMPARE(bubble.pictureSource(), url);
    QCOMPARE(bubble.localImagePath(), DownloadUtil::getImageFilePath(url));
    QCOMPARE(label(&bubble, "labelName")->text(), QStringLiteral("Ann"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(label(&bubble, "labelTime")->text()).hasMatch());

    doubleClick(picture);
    QCOMPARE(openViews().size(), 1);
    QCOMPARE(openViews().first()->imagePath(), url);
    QCOMPARE(openViews().first()->shownSize(), QSize());
    closeViews();

    QTRY_COMPARE(bubble.pictureSource(), DownloadUtil::getImageFilePath(url));
    QVERIFY(picture->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(picture->styleSheet().contains(QStringLiteral("background-image")));
    doubleClick(picture);
    QCOMPARE(openViews().size(), 1);
    QVERIFY(!openViews().first()->shownSize().isEmpty());
}

void TestWidgetMessageItem::refusedAddressesKeepDefault_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("local path") << "/etc/hostname";
    QTest::newRow("file address") << "file:///etc/hostname";
    QTest::newRow("ftp") << "ftp://127.0.0.1/x.png";
    QTest::newRow("script") << "javascript:alert(1)";
    QTest::newRow("data") << "data:image/png;base64,iVBORw0KGgo=";
    QTest::newRow("too long") << "http://127.0.0.1/" + QString(WidgetMessageItemLeft::kMaxUrlChars, QLatin1Char('a'));
}

// A picture address that is not http(s), or absurdly long, is not fetched
// or read: the default picture stays and a double-click opens nothing.
void TestWidgetMessageItem::refusedAddressesKeepDefault()
{
    QFETCH(QString, address);
    WidgetMessageItemLeft bubble;
    bubble.bindData(address, IM_Picture, QString(), QStringLiteral("Ann"));
    QLabel *picture = label(&bubble, "labelMessage");
    QVERIFY(!picture->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(bubble.pictureSource(), QString());
    QCOMPARE(bubble.height(), WidgetMessageItemBase::kPictureBubbleHeight);
    doubleClick(picture);
    QCOMPARE(openViews().size(), 0);
    TestUtil::drainEvents();
    QCOMPARE(m_service.requests().size(), 0);
}

void TestWidgetMessageItem::oversizedPicturesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("more bytes than the cap") << "bytes";
    QTest::newRow("more pixels than the cap") << "pixels";
}

// A picture beyond the download cap is not stored; one that would decode
// to too many pixels is stored but never decoded: the default stays.
void TestWidgetMessageItem::oversizedPicturesAreRefused()
{
    QFETCH(QString, kind);
    QByteArray data;
    if (kind == QLatin1String("bytes")) {
        data = QByteArray(int(DownloadUtil::kMaxImageBytes) + 1, 'x');
    } else {
        QImage huge(6000, 5000, QImage::Format_Mono);
        huge.fill(0);
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(huge.save(&buffer, "PNG"));
    }
    const QString url = upload(data, QStringLiteral("big.png"));
    QVERIFY(!url.isEmpty());

    WidgetMessageItemLeft bubble;
    bubble.bindData(url, IM_Picture, QString(), QStringLiteral("Ann"));
    QLabel *picture = label(&bubble, "labelMessage");
    if (kind == QLatin1String("bytes")) {
        QTRY_VERIFY(m_service.requests().size() >= 2);
        TestUtil::drainEvents();
        QTRY_VERIFY(!QFileInfo::exists(DownloadUtil::getImageFilePath(url)));
    } else {
        QTRY_VERIFY(QFileInfo::exists(DownloadUtil::getImageFilePath(url)));
        TestUtil::drainEvents();
    }
    QVERIFY(!picture->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!picture->styleSheet().contains(QStringLiteral("background-image")));
    QCOMPARE(bubble.pictureSource(), url);
}

// The sender sees the own picture from its file at once, with no request.
void TestWidgetMessageItem::ownPictureShownAtOnce()
{
    QTemporaryDir own;
    const QString path = own.filePath(QStringLiteral("own.png"));
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(path));
    WidgetMessageItemRight bubble;
    bubble.bindData(path, IM_Picture, QString(), QStringLiteral("{id}"));
    QLabel *picture = label(&bubble, "labelMessage");
    // The default picture at once; the own one, decoded off the GUI thread
    // at the size shown, in its place.
    QVERIFY(!picture->pixmap(Qt::ReturnByValue).isNull());
    QTRY_COMPARE(QColor(picture->pixmap(Qt::ReturnByValue).toImage().pixel(40, 44)), QColor(Qt::blue));
    QCOMPARE(picture->pixmap(Qt::ReturnByValue).size(), QSize(80, 88));
    QCOMPARE(bubble.pictureSource(), path);
    QCOMPARE(label(&bubble, "labelName")->text(), QStringLiteral("Me"));
    TestUtil::drainEvents();
    QCOMPARE(m_service.requests().size(), 0);
    // Nothing is written beside the user's file.
    QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList { QStringLiteral("own.png") });
}

void TestWidgetMessageItem::unknownTypeLeavesBubbleEmpty()
{
    WidgetMessageItemLeft left;
    left.bindData(QStringLiteral("x"), IMMsgType(3), QStringLiteral("http://127.0.0.1:1/h.png"), QStringLiteral("Ann"));
    QCOMPARE(label(&left, "labelName")->text(), QString());
    QCOMPARE(label(&left, "labelTime")->text(), QString());
    WidgetMessageItemRight right;
    right.bindData(QStringLiteral("x"), IMMsgType(3), QString(), QStringLiteral("{id}"));
    QCOMPARE(right.messageId(), QString());
    QCOMPARE(label(&right, "labelSendState")->styleSheet(), QString());
}

// Sending until the report for its own id: a report for another id
// changes nothing; clicking a sending or sent message does nothing.
void TestWidgetMessageItem::sendStateFollowsReports()
{
    AgoraMsgMgr *messages = AgoraMsgMgr::instance();
    WidgetMessageItemRight sent;
    sent.bindData(QStringLiteral("hello"), IM_Text, QString(), QStringLiteral("{one}"));
    WidgetMessageItemRight failed;
    failed.bindData(QStringLiteral("again"), IM_Text, QString(), QStringLiteral("{two}"));
    QLabel *state = label(&sent, "labelSendState");
    QCOMPARE(sent.sendState(), int(WidgetMessageItemRight::Sending));
    QVERIFY(state->styleSheet().contains(QStringLiteral("loading_1.png")));

    emit messages->signal_onMessageSendSuccess(QStringLiteral("{other}"));
    QCOMPARE(sent.sendState(), int(WidgetMessageItemRight::Sending));
    release(state);
    QCOMPARE(sent.sendState(), int(WidgetMessageItemRight::Sending));

    emit messages->signal_onMessageSendSuccess(QStringLiteral("{one}"));
    QCOMPARE(sent.sendState(), int(WidgetMessageItemRight::Sent));
    QVERIFY(state->isHidden());
    release(state);
    QCOMPARE(sent.sendState(), int(WidgetMessageItemRight::Sent));

    emit messages->signal_onMessageSendError(QStringLiteral("{two}"), 4);
    QCOMPARE(failed.sendState(), int(WidgetMessageItemRight::Failed));
    QVERIFY(label(&failed, "labelSendState")->styleSheet().contains(QStringLiteral("icon_fail.png")));
    QCOMPARE(sent.sendState(), int(WidgetMessageItemRight::Sent));
}

// Out of the channel the message layer refuses the resend: the bubble is
// failed again (not sending for ever) and can be clicked once more.
void TestWidgetMessageItem::refusedResendReturnsToFailed()
{
    WidgetMessageItemRight bubble;
    bubble.bindData(QStringLiteral("hello"), IM_Text, QString(), QStringLiteral("{gone}"));
    emit AgoraMsgMgr::instance()->signal_onMessageSendError(QStringLiteral("{gone}"), 4);
    QLabel *state = label(&bubble, "labelSendState");
    for (int click = 0; click < 2; ++click) {
        release(state);
        QCOMPARE(bubble.sendState(), int(WidgetMessageItemRight::Failed));
        QVERIFY(state->styleSheet().contains(QStringLiteral("icon_fail.png")));
        QVERIFY(state->isVisibleTo(&bubble));
    }
}

// A message the signalling service did not take (no id) never gets a
// report: it shows as failed at once.
void TestWidgetMessageItem::notTakenMessageShowsFailed()
{
    WidgetMessageItemRight bubble;
    bubble.bindData(QStringLiteral("hello"), IM_Text, QString(), QString());
    QCOMPARE(bubble.sendState(), int(WidgetMessageItemRight::Failed));
    emit AgoraMsgMgr::instance()->signal_onMessageSendSuccess(QString());
    QCOMPARE(bubble.sendState(), int(WidgetMessageItemRight::Failed));
}

// One frame counter for all bubbles: advanced before each use, 2 ... 12, 1.
void TestWidgetMessageItem::loadingFramesAreShared()
{
    ScopedTimeScale fast(0.05);
    WidgetMessageItemRight first;
    first.bindData(QStringLiteral("one"), IM_Text, QString(), QStringLiteral("{a}"));
    WidgetMessageItemRight second;
    second.bindData(QStringLiteral("two"), IM_Text, QString(), QStringLiteral("{b}"));
    const int start = WidgetMessageItemRight::loadingFrame();
    QList<int> seen;
    QLabel *firstState = label(&first, "labelSendState");
    QLabel *secondState = label(&second, "labelSendState");
    for (int i = 0; i < 14; ++i) {
        first.slot_showLoadingImage();
        seen << WidgetMessageItemRight::loadingFrame();
        QVERIFY(firstState->styleSheet().contains(QStringLiteral("loading_%1.png").arg(seen.last())));
        second.slot_showLoadingImage();
        seen << WidgetMessageItemRight::loadingFrame();
        QVERIFY(secondState->styleSheet().contains(QStringLiteral("loading_%1.png").arg(seen.last())));
    }
    for (int i = 0; i < seen.size(); ++i)
        QCOMPARE(seen.at(i), (start + i) % 12 + 1);
    // The timer advances it too.
    const int before = WidgetMessageItemRight::loadingFrame();
    QTRY_VERIFY(WidgetMessageItemRight::loadingFrame() != before);
}

QTEST_MAIN(TestWidgetMessageItem)
#include "tst_widgetmessageitem.moc"
