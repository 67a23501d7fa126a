#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "holderrecorder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "testenvironment.h"
#include "utility/actionlog.h"

// The life every holder shares: refusals and failures report start,
// failure, finish from the event loop; an abort silences what would follow;
// an auto-deleting holder is gone once its end was delivered.
class TestBaseReplyHolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void failuresEndTheSameWay_data();
    void failuresEndTheSameWay();
    void abortInFailureSlot_data();
    void abortInFailureSlot();

private:
    BaseReplyHolder *make(const QString &kind, QObject *parent);

    QTemporaryDir m_dir;
};

void TestBaseReplyHolder::initTestCase()
{
    Singleton<HttpMgr>::instance()->init();
    QVERIFY(ActionLog::instance()->init(m_dir.filePath(QStringLiteral("test.action.log"))));
}

void TestBaseReplyHolder::cleanupTestCase()
{
    ActionLog::instance()->close();
}

BaseReplyHolder *TestBaseReplyHolder::make(const QString &kind, QObject *parent)
{
    HttpMgr *http = Singleton<HttpMgr>::instance();
    const QString dead = TestEnvironment::deadBaseUrl() + QStringLiteral("/files/a.pdf");
    if (kind == QLatin1String("upload refused"))
        return http->upload(dead, QStringLiteral("appLog"), m_dir.filePath(QStringLiteral("missing.zip")), {});
    if (kind == QLatin1String("get refused by nobody"))
        return http->get(dead, {}, -1);
    if (kind == QLatin1String("download refused"))
        return http->download(parent, QString(), m_dir.path());
    return http->download(parent, dead, m_dir.path());
}

void TestBaseReplyHolder::failuresEndTheSameWay_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::newRow("upload refused") << "upload refused" << REQUEST_REFUSED_ERROR_CODE;
    QTest::newRow("request to nobody") << "get refused by nobody" << -1;
    QTest::newRow("download refused") << "download refused" << REQUEST_REFUSED_ERROR_CODE;
    QTest::newRow("download from nobody") << "download from nobody" << -1;
}

void TestBaseReplyHolder::failuresEndTheSameWay()
{
    QFETCH(QString, kind);
    QFETCH(int, code);
    QObject parent;
    QPointer<BaseReplyHolder> holder = make(kind, &parent);
    QVERIFY(holder);
    holder->setAutoDelete(true);
    QStringList events;
    connect(holder, &BaseReplyHolder::signal_onStart, this, [&] { events << "start"; });
    connect(holder, &BaseReplyHolder::signal_onFinish, this, [&] { events << "finish"; });
    if (auto *request = qobject_cast<NetWorkReplyHolder *>(holder))
        connect(request, &NetWorkReplyHolder::signal_onFailure, this, [&](int c) { events << QString::number(c); });
    if (auto *download = qobject_cast<NetWorkDownloadReplyHolder *>(holder))
        connect(download, &NetWorkDownloadReplyHolder::signal_onFailure, this, [&](int c) { events << QString::number(c); });

    // Nothing before the event loop runs.
    QVERIFY(events.isEmpty());
    QTRY_COMPARE(events, (QStringList{ "start", QString::number(code), "finish" }));
    // It let itself go once its end was delivered.
    QTRY_VERIFY(holder.isNull());
}

void TestBaseReplyHolder::abortInFailureSlot_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("events");
    // A request's failure always ends with finish; the abort comes after.
    QTest::newRow("request") << "get refused by nobody" << QStringList{ "start", "failure:-1", "finish", "abort" };
    // A download's abort takes the place of its finish.
    QTest::newRow("download") << "download from nobody" << QStringList{ "start", "failure:-1", "abort" };
}

void TestBaseReplyHolder::abortInFailureSlot()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, events);
    QObject parent;
    BaseReplyHolder *made = make(kind, &parent);
    QPointer<BaseReplyHolder> holder = made;
    holder->setAutoDelete(true);
    std::unique_ptr<HolderRecorder> recorder;
    if (auto *request = qobject_cast<NetWorkReplyHolder *>(made)) {
        recorder.reset(new HolderRecorder(request));
        connect(request, &NetWorkReplyHolder::signal_onFailure, this, [request] { request->setShouldAbort(true); });
    } else {
        auto *download = qobject_cast<NetWorkDownloadReplyHolder *>(made);
        recorder.reset(new HolderRecorder(download));
        connect(download, &NetWorkDownloadReplyHolder::signal_onFailure, this, [download] { download->abort(); });
    }
    QTRY_COMPARE(recorder->events, events);
    // Whichever end came last, the holder let itself go after it.
    QTRY_VERIFY(holder.isNull());
}

QTEST_GUILESS_MAIN(TestBaseReplyHolder)
#include "tst_basereplyholder.moc"
