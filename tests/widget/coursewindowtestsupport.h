#ifndef COURSEWINDOWTESTSUPPORT_H
#define COURSEWINDOWTESTSUPPORT_H

#include "coursedialogsrecorder.h"
#include "loginwindowtestsupport.h"
#include "scopedtimescale.h"

#include "mgr/appcontext.h"
#include "utility/webpage.h"
#include "utility/widget/loadingwidget.h"
#include "widget/widgetclassroom.h"

#include <QJsonDocument>
#include <QListWidget>
#include <QUrl>
#include <QUrlQuery>

namespace CourseTest {

using namespace LoginTest;

// The "json_str" events posted to the service, as "key=value".
inline QStringList postedEvents(const QJsonArray &requests)
{
    QStringList events;
    for (const QJsonValue &request : requestsTo(requests, QStringLiteral("/QXV1/Public/kv"))) {
        const QString json = request.toObject().value(QStringLiteral("form")).toObject().value(QStringLiteral("json_str")).toString();
        for (const QJsonValue &event : QJsonDocument::fromJson(json.toUtf8()).array()) {
            const QJsonObject record = event.toObject();
            events << record.value(QStringLiteral("key")).toString() + QLatin1Char('=') + record.value(QStringLiteral("value")).toString();
        }
    }
    return events;
}

inline QString queryValue(const QJsonValue &request, const char *key)
{
    return request.toObject().value(QStringLiteral("query")).toObject().value(QLatin1String(key)).toString();
}

inline WidgetClassRoom *openClassroom()
{
    const QList<WidgetClassRoom *> rooms = visibleWindows<WidgetClassRoom>();
    return rooms.isEmpty() ? nullptr : rooms.first();
}

// What a course window test runs on: the stand-in service over HTTP, the
// action records, the message boxes, modal windows and exit requests
// answered by m_dialogs, and the browser caught in m_urls. Derive, call
// startBench() from initTestCase(), resetBench() from init() and
// endBench() from cleanup().
class CourseWindowBench
{
protected:
    void startBench()
    {
        QVERIFY(m_folder.isValid());
        QVERIFY(m_service.start());
        Singleton<HttpMgr>::instance()->init();
        WebPage::setOpener([this](const QUrl &url) {
            m_urls << url.toString(QUrl::FullyEncoded);
            return true;
        });
    }

    void resetBench()
    {
        QVERIFY(m_service.reset());
        m_records.restart(m_folder.path());
        m_urls.clear();
        m_dialogs.clear();
        Singleton<AppRestart>::instance()->setAppRestart(false);
        Singleton<AppContext>::instance()->resetClassInfo();
    }

    void endBench()
    {
        closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QJsonArray requestsOf(const QString &path) { return requestsTo(m_service.requests(), path); }
    QStringList events() { return postedEvents(m_service.requests()); }

    LessonService m_service;
    CourseDialogsRecorder m_dialogs;
    QTemporaryDir m_folder;
    ActionRecords m_records;
    QStringList m_urls;
};

} // namespace CourseTest

#endif // COURSEWINDOWTESTSUPPORT_H
