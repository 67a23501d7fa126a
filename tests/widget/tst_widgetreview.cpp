// The after-class review: stars chosen by a left click only, the save call
// with its three fields, one save at a time, and the toasts of a refusal
// by error code.
#include "lessonservice.h"

#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/student/widgetreview.h"

#include <QApplication>
#include <QJsonDocument>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QString kSavePath = QStringLiteral("/QXV1/PcClass/saveComment");
const QString kNetworkText = QStringLiteral("网络错误，请检查网络!");
const QString kRefusedText = QStringLiteral("评论发送失败，请重新提交！");

QStringList toastTexts()
{
    QStringList texts;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *toast = qobject_cast<promptMessageWidget *>(widget)) {
            if (toast->isVisible())
                texts << toast->shownText();
        }
    }
    return texts;
}

void closeToasts()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<promptMessageWidget *>(widget))
            delete widget;
    }
}

QVector<bool> starStates(const WidgetReview &review)
{
    QVector<bool> states;
    for (QPushButton *star : review.stars())
        states << star->isChecked();
    return states;
}

} // namespace

class TestWidgetReview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void starsFollowTheLeftClickOnly();
    void submitWithoutStarsSendsNothing();
    void savesScoreAndComment_data();
    void savesScoreAndComment();
    void refusalToastsByCode_data();
    void refusalToastsByCode();
    void secondSubmitWhileSavingIsIgnored();
    void unansweredSaveKeepsTheWindow();
    void closeDiscardsTheReview();

private:
    int saveCount();
    std::unique_ptr<WidgetReview> openReview();

    LessonService m_service;
};

void TestWidgetReview::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
}

void TestWidgetReview::init()
{
    QVERIFY(m_service.reset());
}

void TestWidgetReview::cleanup()
{
    closeToasts();
}

int TestWidgetReview::saveCount()
{
    int count = 0;
    for (const QJsonValue &request : m_service.requests()) {
        if (request.toObject().value(QStringLiteral("path")).toString() == kSavePath)
            ++count;
    }
    return count;
}

std::unique_ptr<WidgetReview> TestWidgetReview::openReview()
{
    auto review = std::make_unique<WidgetReview>();
    review->setAttribute(Qt::WA_DeleteOnClose, false);
    review->setClassId(QString::fromLatin1(LessonService::kClassId));
    review->show();
    return review;
}

void TestWidgetReview::starsFollowTheLeftClickOnly()
{
    auto review = openReview();
    QCOMPARE(review->stars().size(), 5);
    QCOMPARE(review->score(), 0);
    QTest::mouseClick(review->stars().at(3), Qt::LeftButton);
    QCOMPARE(review->score(), 4);
    QCOMPARE(starStates(*review), (QVector<bool> { true, true, true, true, false }));
    QTest::mouseClick(review->stars().at(1), Qt::LeftButton);
    QCOMPARE(review->score(), 2);
    QCOMPARE(starStates(*review), (QVector<bool> { true, true, false, false, false }));
    // Neither another button nor the keyboard toggles a star by itself.
    QTest::mouseClick(review->stars().at(4), Qt::RightButton);
    QTest::mouseClick(review->stars().at(4), Qt::MiddleButton);
    review->stars().at(4)->setFocus();
    QTest::keyClick(review->stars().at(4), Qt::Key_Space);
    QCOMPARE(review->score(), 2);
    QCOMPARE(starStates(*review), (QVector<bool> { true, true, false, false, false }));
}

void TestWidgetReview::submitWithoutStarsSendsNothing()
{
    auto review = openReview();
    review->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(QStringLiteral("nice"));
    QTest::mouseClick(review->findChild<QPushButton *>(QStringLiteral("btnSubmit")), Qt::LeftButton);
    QCOMPARE(review->findChildren<promptMessageWidget *>().size(), 1);
    QCOMPARE(review->findChild<promptMessageWidget *>()->shownText(), QStringLiteral("请点击星星进行评分！"));
    QVERIFY(review->isVisible());
    QVERIFY(!review->isSaving());
    QCOMPARE(saveCount(), 0);
}

void TestWidgetReview::savesScoreAndComment_data()
{
    QTest::addColumn<int>("star");
    QTest::addColumn<QString>("comment");
    QTest::newRow("five stars, no comment") << 5 << QString();
    QTest::newRow("three stars and words") << 3 << QStringLiteral("老师讲得很好 & clear");
}

void TestWidgetReview::savesScoreAndComment()
{
    QFETCH(int, star);
    QFETCH(QString, comment);
    auto review = openReview();
    QSignalSpy closed(review.get(), &WidgetReview::signal_close);
    QTest::mouseClick(review->stars().at(star - 1), Qt::LeftButton);
    review->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(comment);
    review->on_btnSubmit_clicked();
    QVERIFY(closed.wait());
    QVERIFY(!review->isVisible());
    const QJsonObject form = m_service.lastRequest(kSavePath).value(QStringLiteral("form")).toObject();
    QCOMPARE(form.value(QStringLiteral("class_id")).toString(), QString::fromLatin1(LessonService::kClassId));
    QCOMPARE(form.value(QStringLiteral("score")).toString(), QString::number(star));
    QCOMPARE(form.value(QStringLiteral("comment")).toString(), comment);
    QVERIFY(toastTexts().isEmpty());
}

void TestWidgetReview::refusalToastsByCode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("toast");
    QTest::newRow("7") << "body" << 7 << kNetworkText;
    QTest::newRow("8") << "body" << 8 << kNetworkText;
    QTest::newRow("99") << "body" << 99 << kNetworkText;
    QTest::newRow("-7 as 7") << "body" << -7 << kNetworkText;
    QTest::newRow("other code") << "body" << 500 << kRefusedText;
    QTest::newRow("HTTP error") << "status" << 0 << kRefusedText;
    QTest::newRow("not JSON") << "nonjson" << 0 << kRefusedText;
}

void TestWidgetReview::refusalToastsByCode()
{
    QFETCH(QString, mode);
    QFETCH(int, code);
    QFETCH(QString, toast);
    QJsonObject extra;
    if (mode == QLatin1String("body")) {
        const QJsonObject answer { { "errorCode", code }, { "errorMsg", "refused" }, { "data", QJsonObject() } };
        extra.insert(QStringLiteral("body"), QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact)));
    }
    QVERIFY(m_service.setFault(kSavePath, mode, extra));
    auto review = openReview();
    QTest::mouseClick(review->stars().at(3), Qt::LeftButton);
    review->on_btnSubmit_clicked();
    QTRY_COMPARE(toastTexts(), QStringList { toast });
    // The form stays for another try, and the next press sends again.
    QVERIFY(review->isVisible());
    QVERIFY(!review->isSaving());
    QCOMPARE(review->score(), 4);
    QVERIFY(m_service.reset());
    QSignalSpy closed(review.get(), &WidgetReview::signal_close);
    review->on_btnSubmit_clicked();
    QVERIFY(closed.wait());
}

void TestWidgetReview::secondSubmitWhileSavingIsIgnored()
{
    QVERIFY(m_service.setFault(kSavePath, QStringLiteral("delay"), { { QStringLiteral("delay_ms"), 300 } }));
    auto review = openReview();
    QSignalSpy closed(review.get(), &WidgetReview::signal_close);
    QTest::mouseClick(review->stars().at(4), Qt::LeftButton);
    review->on_btnSubmit_clicked();
    QVERIFY(review->isSaving());
    review->on_btnSubmit_clicked();
    review->on_btnSubmit_clicked();
    QVERIFY(closed.wait());
    QCOMPARE(saveCount(), 1);
}

void TestWidgetReview::unansweredSaveKeepsTheWindow()
{
    // The save call has no time-out: a service that never answers leaves
    // the window open and saving; the student can still close it.
    QVERIFY(m_service.setFault(kSavePath, QStringLiteral("hang")));
    auto review = openReview();
    QTest::mouseClick(review->stars().at(0), Qt::LeftButton);
    review->on_btnSubmit_clicked();
    QTRY_COMPARE(saveCount(), 1);
    review->on_btnSubmit_clicked();
    QVERIFY(review->isSaving());
    QVERIFY(review->isVisible());
    QSignalSpy closed(review.get(), &WidgetReview::signal_close);
    QTest::mouseClick(review->findChild<QPushButton *>(QStringLiteral("btnClose")), Qt::LeftButton);
    QCOMPARE(closed.size(), 1);
    QCOMPARE(saveCount(), 1);
    QVERIFY(m_service.reset());
}

void TestWidgetReview::closeDiscardsTheReview()
{
    auto review = openReview();
    QSignalSpy closed(review.get(), &WidgetReview::signal_close);
    QTest::mouseClick(review->stars().at(2), Qt::LeftButton);
    review->on_btnClose_clicked();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!review->isVisible());
    QCOMPARE(saveCount(), 0);
}

QTEST_MAIN(TestWidgetReview)
#include "tst_widgetreview.moc"
