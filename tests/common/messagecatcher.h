#ifndef MESSAGECATCHER_H
#define MESSAGECATCHER_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the message log lines written while it lives (and passes them
// on to the handler in force before it). A log line is how some steps show
// that they ran at all, for example a time-out timer that fired after its
// reply had finished: wait for it with QTRY_VERIFY(catcher.contains(...))
// instead of sleeping past it. One at a time; GUI thread.
class MessageCatcher
{
public:
    MessageCatcher()
    {
        lines().clear();
        previous() = qInstallMessageHandler(collect);
    }
    ~MessageCatcher() { qInstallMessageHandler(previous()); }

    MessageCatcher(const MessageCatcher &) = delete;
    MessageCatcher &operator=(const MessageCatcher &) = delete;

    static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }

    // True when a line collected so far is exactly text.
    bool contains(const QString &text) const { return lines().contains(text); }

private:
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }

    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        lines().append(message);
        if (previous())
            previous()(type, context, message);
    }
};

#endif // MESSAGECATCHER_H
