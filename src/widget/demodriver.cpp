#include "demodriver.h"

#include "widget/basecoursemainwidget.h"
#include "widget/baseloginwidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTextStream>
#include <QWidget>

namespace {

// Time for a window to fill itself (lists, pictures) before its picture.
const int kSettleMs = 1500;
// The demo ends when no new window has appeared for this long.
const int kIdleMs = 5000;
// And in any case after this long, so a stuck demo never hangs the script.
const int kDeadlineMs = 90000;

DemoDriver *s_driver = nullptr;

QString fileNamePart(const QString &text)
{
    QString part;
    for (const QChar c : text) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            part += c.toLower();
        else if (!part.endsWith(QLatin1Char('-')))
            part += QLatin1Char('-');
    }
    while (part.endsWith(QLatin1Char('-')))
        part.chop(1);
    return part.isEmpty() ? QStringLiteral("window") : part;
}

} // namespace

void DemoDriver::attach(baseloginwidget *loginWindow)
{
    const QString login = qEnvironmentVariable("LESSONRY_DEMO_LOGIN");
    const QString folder = qEnvironmentVariable("LESSONRY_DEMO_SCREENSHOTS");
    if (login.isEmpty() && folder.isEmpty())
        return;
    if (!s_driver)
        s_driver = new DemoDriver(login, folder);
    s_driver->watchLoginWindow(loginWindow);
}

DemoDriver::DemoDriver(const QString &login, const QString &folder)
    : QObject(qApp)
{
    const int colon = login.indexOf(QLatin1Char(':'));
    if (colon > 0) {
        m_user = login.left(colon);
        m_password = login.mid(colon + 1);
        m_signInPending = true;
    } else if (!login.isEmpty()) {
        qWarning("<demo> LESSONRY_DEMO_LOGIN must be <user>:<password>");
    }

    if (!folder.isEmpty()) {
        m_folder.setPath(folder);
        m_takeShots = m_folder.mkpath(QStringLiteral("."));
        if (!m_takeShots)
            qCritical("<demo> cannot create the screenshot folder %s", qUtf8Printable(folder));
        QFile::remove(m_folder.filePath(QStringLiteral("demo-result.txt")));
    }

    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(kIdleMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &DemoDriver::finish);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        note(QStringLiteral("deadline reached"));
        finish();
    });
    if (m_takeShots)
        m_deadline.start(kDeadlineMs);

    qApp->installEventFilter(this);
    qInfo("<demo> driver on, screenshots:%s", qUtf8Printable(folder));
}

void DemoDriver::watchLoginWindow(baseloginwidget *loginWindow)
{
    if (m_signInPending && !m_firstLoginWindow)
        m_firstLoginWindow = loginWindow;
}

bool DemoDriver::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);

    auto *widget = static_cast<QWidget *>(watched);
    const Qt::WindowType type = widget->windowType();
    if (!widget->isWindow() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen
        || m_seenWindows.contains(widget))
        return QObject::eventFilter(watched, event);
    m_seenWindows.insert(widget);
    connect(widget, &QObject::destroyed, this, [this, widget] { m_seenWindows.remove(widget); });

    if (dynamic_cast<BaseCourseMainWidget *>(widget))
        m_reachedCourseWindow = true;

    if (widget == m_firstLoginWindow && m_signInPending) {
        m_signInPending = false;
        QPointer<baseloginwidget> login = m_firstLoginWindow;
        QTimer::singleShot(800, this, [this, login] { signIn(login); });
    } else {
        scheduleShot(widget, kSettleMs);
    }
    m_idleTimer.stop();
    return QObject::eventFilter(watched, event);
}

void DemoDriver::signIn(QPointer<baseloginwidget> loginWindow)
{
    if (!loginWindow)
        return;
    auto *user = loginWindow->findChild<QLineEdit *>(QStringLiteral("editMobile"));
    auto *password = loginWindow->findChild<QLineEdit *>(QStringLiteral("editPassword"));
    auto *button = loginWindow->findChild<QAbstractButton *>(QStringLiteral("btnLogin"));
    auto *formPage = loginWindow->findChild<QWidget *>(QStringLiteral("widget"));
    if (!user || !password || !button || !formPage) {
        note(QStringLiteral("login form not found"));
        return;
    }
    if (!formPage->isVisible()) {
        // A saved automatic login is already under way.
        note(QStringLiteral("automatic login already running"));
        scheduleShot(loginWindow, 0, QStringLiteral("login-waiting"));
        return;
    }

    user->setFocus();
    user->setText(m_user);
    password->setText(m_password);
    takeShot(loginWindow.data(), QStringLiteral("login"));
    note(QStringLiteral("signing in as %1").arg(m_user));
    button->click();
    scheduleShot(loginWindow, 300, QStringLiteral("login-after-press"));
}

void DemoDriver::scheduleShot(QWidget *window, int delayMs, const QString &name)
{
    if (!m_takeShots)
        return;
    QPointer<QWidget> target = window;
    QTimer::singleShot(delayMs, this, [this, target, name] { takeShot(target, name); });
}

void DemoDriver::takeShot(QPointer<QWidget> window, const QString &name)
{
    if (!m_takeShots)
        return;
    if (!window || !window->isVisible()) {
        m_idleTimer.start();
        return;
    }
    const QString title = window->windowTitle();
    const QString base = name.isEmpty()
        ? fileNamePart(QString::fromLatin1(window->metaObject()->className()))
        : name;
    const QString fileName = QStringLiteral("%1-%2.png").arg(++m_shotCount, 2, 10, QLatin1Char('0')).arg(base);
    const bool saved = window->grab().save(m_folder.filePath(fileName));
    QString line = QStringLiteral("%1 window \"%2\"%3").arg(fileName, title, saved ? QString() : QStringLiteral(" (not saved)"));
    if (auto *error = window->findChild<QLabel *>(QStringLiteral("labelErrorMsg")); error && error->isVisible())
        line += QStringLiteral(" error \"%1\"").arg(error->text());
    note(line);
    m_idleTimer.start();
}

void DemoDriver::note(const QString &line)
{
    qInfo("<demo> %s", qUtf8Printable(line));
    if (!m_takeShots)
        return;
    QFile file(m_folder.filePath(QStringLiteral("demo-result.txt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        QTextStream stream(&file);
        stream.setCodec("UTF-8");
        stream << line << '\n';
    }
}

void DemoDriver::finish()
{
    if (!m_takeShots)
        return;
    note(m_reachedCourseWindow ? QStringLiteral("result: signed in") : QStringLiteral("result: not signed in"));
    m_takeShots = false;
    m_deadline.stop();
    qApp->exit(0);
}
