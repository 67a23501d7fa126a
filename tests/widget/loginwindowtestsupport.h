#ifndef LOGINWINDOWTESTSUPPORT_H
#define LOGINWINDOWTESTSUPPORT_H

// Helpers shared by the login window tests of both roles: the saved login,
// the action records, finding windows, reading and filling in the form, and
// the bench the tests run on.

#include "browserstandin.h"
#include "coursedialogsrecorder.h"
#include "lessonservice.h"

#include "mgr/apprestart.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "utility/possibleidutil.h"
#include "widget/baseloginwidget.h"
#include "widget/loginactions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

namespace LoginTest {

inline void clearSavedLogin()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velmo"),
                       PossibleIdUtil::settingsApplicationName());
    settings.remove(g_loginInfoKey);
    settings.sync();
}

inline void saveLogin(const QString &text)
{
    PossibleIdUtil::setSetting(g_loginInfoKey, text);
}

inline QString savedLoginText()
{
    return PossibleIdUtil::getSetting(g_loginInfoKey, QString()).toString();
}

inline QJsonObject savedLogin()
{
    return QJsonDocument::fromJson(savedLoginText().toUtf8()).object();
}

// The records of the action log since the last restart(), as lines.
class ActionRecords
{
public:
    void restart(const QString &folder)
    {
        m_path = folder + QStringLiteral("/records-%1.action.log").arg(++m_count);
        ActionLog::instance()->init(m_path);
    }

    QStringList lines() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        QStringList result;
        QTextStream stream(&file);
        stream.setCodec("UTF-8");
        while (!stream.atEnd()) {
            const QString line = stream.readLine();
            if (!line.isEmpty())
                result.append(line);
        }
        return result;
    }

    // "kind,name,info" of every record, without version and time.
    QStringList records() const
    {
        QStringList result;
        for (const QString &line : lines()) {
            const QStringList fields = line.split(QLatin1Char(','));
            if (fields.size() < 6)
                continue;
            result.append(fields.at(0) + QLatin1Char(',') + fields.at(4) + QLatin1Char(',')
                          + fields.mid(5).join(QLatin1Char(',')));
        }
        return result;
    }

    int count(const QString &record) const { return records().count(record); }

private:
    QString m_path;
    int m_count = 0;
};

template<typename T>
QList<T *> visibleWindows()
{
    QList<T *> result;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = dynamic_cast<T *>(widget); window && window->isVisible())
            result.append(window);
    }
    return result;
}

// Closes every visible window (the windows delete themselves on close)
// and lets the deferred deletions run. Hidden top-level widgets belong to
// someone else, so they are left alone.
inline void closeAllWindows()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            widget->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The start-up and logout sequence of a login window.
template<typename T>
QPointer<T> openLoginWindow(bool allowAutoLogin)
{
    auto *window = new T(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->initUi();
    window->setShouldAutoLogin(allowAutoLogin);
    window->readLoginInfo();
    window->show();
    return QPointer<T>(window);
}

template<typename T = QWidget>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

// The four readers below take a window that may have gone (a QPointer
// turned null), so a polling check fails instead of crashing.
inline bool isWaiting(QWidget *window)
{
    return window && child(window, "widgetLoading")->isVisible() && !child(window, "widget")->isVisible();
}

inline bool showsForm(QWidget *window)
{
    return window && !child(window, "widgetLoading")->isVisible() && child(window, "widget")->isVisible();
}

inline QString errorLine(QWidget *window)
{
    if (!window)
        return QStringLiteral("<window gone>");
    QLabel *label = child<QLabel>(window, "labelErrorMsg");
    return label->isVisible() ? label->text() : QString();
}

inline QString loadingLine(QWidget *window)
{
    return window ? child<QLabel>(window, "labelLoading")->text() : QStringLiteral("<window gone>");
}

// Whether the error line shows its whole text inside the window's border,
// in the form's place (80, 116, 300 x 16) whenever the text fits there.
inline bool errorLineShowsWholeText(QWidget *window)
{
    QLabel *label = child<QLabel>(window, "labelErrorMsg");
    const QRect formPlace(80, 116, 300, 16);
    const int needed = label->sizeHint().width();
    if (needed <= formPlace.width())
        return label->geometry() == formPlace;
    return label->width() >= needed && window->rect().adjusted(1, 1, -1, -1).contains(label->geometry());
}

// Requests under path recorded by the stand-in service.
inline QJsonArray requestsTo(const QJsonArray &all, const QString &path)
{
    QJsonArray result;
    for (const QJsonValue &request : all) {
        if (request.toObject().value(QStringLiteral("path")).toString() == path)
            result.append(request);
    }
    return result;
}

inline bool hasPendingReply(QWidget *window)
{
    return !window->findChildren<EntityNetworkReplyHolder *>().isEmpty();
}

// Types into the emptied user name and password fields, key by key.
inline void typeCredentials(QWidget *window, const QString &user, const QString &password)
{
    QLineEdit *name = child<QLineEdit>(window, "editMobile");
    QLineEdit *secret = child<QLineEdit>(window, "editPassword");
    name->clear();
    secret->clear();
    QTest::keyClicks(name, user);
    QTest::keyClicks(secret, password);
}

inline void pressLogin(QWidget *window)
{
    QTest::mouseClick(child<QAbstractButton>(window, "btnLogin"), Qt::LeftButton);
}

// The waiting label as it reads after each tick of the window's loading
// animation, caught as the ticks happen (polling could miss one). Made
// after initUi() and before the login is pressed.
class LoadingTicks : public QObject
{
public:
    explicit LoadingTicks(QWidget *window)
    {
        // The loading timer is the window's only timer of its own.
        for (QTimer *timer : window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly))
            connect(timer, &QTimer::timeout, this, [this, window] { lines.append(loadingLine(window)); });
    }

    QStringList lines;
};

// What a login window test runs on: the stand-in lesson service over HTTP,
// the action records in a folder of their own, and the system browser and
// the notice box caught in m_urls and m_notices ("title|text"). A test
// class derives from it, calls startBench() from initTestCase() and
// resetBench() from init().
template<typename Window>
class LoginWindowBench
{
protected:
    explicit LoginWindowBench(const QString &loginPath)
        : m_loginPath(loginPath)
    {
    }

    void startBench()
    {
        QVERIFY(m_folder.isValid());
        QVERIFY(m_service.start());
        Singleton<HttpMgr>::instance()->init();
        LoginActions::setNoticeHandler([this](QWidget *, const QString &title, const QString &text) {
            m_notices.append(title + QLatin1Char('|') + text);
        });
    }

    // Forgets the service's requests and faults, the saved login, the
    // records, the caught addresses and notices, and a restart.
    void resetBench()
    {
        m_service.reset();
        clearSavedLogin();
        m_records.restart(m_folder.path());
        m_urls.clear();
        m_notices.clear();
        m_courseDialogs.clear();
        Singleton<AppRestart>::instance()->setAppRestart(false);
    }

    QPointer<Window> openWindow(bool allowAutoLogin = true) { return openLoginWindow<Window>(allowAutoLogin); }
    QJsonArray loginRequests() { return requestsTo(m_service.requests(), m_loginPath); }

    LessonService m_service;
    // The course window that a sign-in opens asks for the device test.
    CourseDialogsRecorder m_courseDialogs;
    QTemporaryDir m_folder;
    ActionRecords m_records;
    QStringList m_urls;
    QStringList m_notices;

private:
    QString m_loginPath;
    BrowserStandIn m_browser{ QStringLiteral("http"), &m_urls };
};

} // namespace LoginTest

#endif // LOGINWINDOWTESTSUPPORT_H
