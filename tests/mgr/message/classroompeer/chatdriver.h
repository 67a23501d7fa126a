#ifndef CHATDRIVER_H
#define CHATDRIVER_H

#include "utility/userinfo.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class ClassWidget;
class ChatMessageList;
class QTextEdit;
class WidgetMessage;

// The chat panel of a classroom peer, used as a user would: text typed and
// sent with the keys, pictures chosen in the file dialog, a click on a
// failed message. Its bubbles are reported, on "state" only, as one JSON
// line each.
//   type <text>          the text edit's content
//   key enter|ctrlenter  a key press in the text edit
//   mode enter|ctrl      the send-mode radio buttons
//   pics <file>|<file>   files answered by the picture dialog, then its button
//   click <row>          a click on the send state of that row's bubble
//   stamp                the wall-clock time in microseconds typed and sent
//   state                "bubble <JSON>" for every row, then "bubbles <count>"
class ChatDriver : public QObject
{
public:
    ChatDriver(ClassWidget *page, const QString &uid, const QString &classId,
               std::function<void(const QString &)> emitLine);
    ~ChatDriver() override;

    void run(const QString &line);

private:
    void report();

    UserList m_roster;
    WidgetMessage *m_panel = nullptr;
    // Found once, while the panel is empty: searching a panel of 2000
    // bubbles for them at every command would cost its GUI thread more
    // than what the benchmarks measure there.
    QTextEdit *m_edit = nullptr;
    ChatMessageList *m_list = nullptr;
    std::function<void(const QString &)> m_emitLine;
};

#endif // CHATDRIVER_H
