#include "chatdriver.h"

#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "utility/widget/filedialogs.h"
#include "widget/classwidget.h"
#include "widget/chatmessagelist.h"
#include "widget/widgetmessage.h"
#include "widget/widgetmessageitemleft.h"
#include "widget/widgetmessageitemright.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <chrono>

ChatDriver::ChatDriver(ClassWidget *page, const QString &uid, const QString &classId,
                       std::function<void(const QString &)> emitLine)
    : m_emitLine(std::move(emitLine))
{
    Singleton<HttpMgr>::instance()->init();
    const struct
    {
        const char *uid;
        const char *name;
        int type;
    } people[] = { { "30001", "Ms. Green", 2 }, { "20001", "Sam", 1 }, { "20002", "Lily", 1 } };
    for (const auto &person : people) {
        UserInfo info;
        info.uid = QLatin1String(person.uid);
        info.userName = QString::fromUtf8(person.name);
        info.userType = person.type;
        m_roster.addUser(info);
    }
    m_roster.setTeacherIdx(0);
    if (!m_roster.isUserExist(uid)) {
        UserInfo me;
        me.uid = uid;
        me.userName = QStringLiteral("Guest ") + uid;
        me.userType = 1;
        m_roster.addUser(me);
    }
    for (int i = 0; i < m_roster.getUserCount(); ++i) {
        if (m_roster.getUserInfoByIdx(i).uid == uid)
            m_roster.setCurUserIdx(i);
    }
    m_panel = new WidgetMessage(page);
    m_panel->setChannelAndUser(classId, &m_roster);
    m_panel->show();
    m_edit = m_panel->findChild<QTextEdit *>(QStringLiteral("textEdit"));
    m_list = m_panel->findChild<ChatMessageList *>(QStringLiteral("listWidget"));
}

ChatDriver::~ChatDriver()
{
    FileDialogs::setOpenHandler({});
}

void ChatDriver::run(const QString &line)
{
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    QTextEdit *edit = m_edit;
    if (command == QLatin1String("type")) {
        edit->setPlainText(rest);
    } else if (command == QLatin1String("key")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return,
                        rest == QLatin1String("ctrlenter") ? Qt::ControlModifier : Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
    } else if (command == QLatin1String("mode")) {
        m_panel->findChild<QRadioButton *>(rest == QLatin1String("ctrl") ? QStringLiteral("radioButtonCtrlEnter")
                                                                          : QStringLiteral("radioButtonEnter"))
            ->click();
    } else if (command == QLatin1String("pics")) {
        const QStringList files = rest.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        FileDialogs::setOpenHandler([files](const FileDialogs::Request &) { return files; });
        m_panel->findChild<QPushButton *>(QStringLiteral("btnPic"))->click();
    } else if (command == QLatin1String("stamp")) {
        // The text is the wall-clock time of the key press that sends it.
        edit->setPlainText(QString::number(std::chrono::duration_cast<std::chrono::microseconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count()));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
    } else if (command == QLatin1String("click")) {
        ChatMessageList *list = m_list;
        QWidget *bubble = list->bubbleAt(rest.toInt());
        if (QLabel *state = bubble ? bubble->findChild<QLabel *>(QStringLiteral("labelSendState")) : nullptr) {
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(state, &release);
        }
    } else if (command == QLatin1String("state")) {
        report();
    } else if (command == QLatin1String("clear")) {
        ChatMessageList *list = m_list;
        while (list->count() > 0)
            list->removeFirst();
        m_emitLine(QStringLiteral("cleared"));
    } else if (command == QLatin1String("count")) {
        // "count <bubbles> <pictures shown from their downloaded file>"
        ChatMessageList *list = m_list;
        int pictures = 0;
        for (int row = 0; row < list->count(); ++row) {
            auto *left = qobject_cast<WidgetMessageItemLeft *>(list->bubbleAt(row));
            pictures += left && !left->pictureSource().isEmpty() && !left->pictureSource().startsWith(QLatin1String("http"));
        }
        m_emitLine(QStringLiteral("count %1 %2").arg(list->count()).arg(pictures));
    } else {
        m_emitLine(QStringLiteral("error unknown chat command: ") + line);
    }
}

void ChatDriver::report()
{
    ChatMessageList *list = m_list;
    for (int row = 0; row < list->count(); ++row) {
        QWidget *widget = list->bubbleAt(row);
        const auto text = [widget](const char *name) {
            auto *label = widget->findChild<QLabel *>(QLatin1String(name));
            return label ? label->text() : QString();
        };
        QJsonObject bubble { { "row", row },
                             { "name", text("labelName") },
                             { "time", text("labelTime") },
                             { "text", text("labelMessage") } };
        if (auto *left = qobject_cast<WidgetMessageItemLeft *>(widget)) {
            bubble.insert(QStringLiteral("side"), QStringLiteral("left"));
            bubble.insert(QStringLiteral("source"), left->pictureSource());
        } else if (auto *right = qobject_cast<WidgetMessageItemRight *>(widget)) {
            bubble.insert(QStringLiteral("side"), QStringLiteral("right"));
            bubble.insert(QStringLiteral("source"), right->pictureSource());
            bubble.insert(QStringLiteral("state"), right->sendState());
        }
        m_emitLine(QStringLiteral("bubble ") + QString::fromUtf8(QJsonDocument(bubble).toJson(QJsonDocument::Compact)));
    }
    m_emitLine(QStringLiteral("bubbles %1").arg(list->count()));
}
