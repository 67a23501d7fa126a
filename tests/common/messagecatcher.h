#ifndef MESSAGECATCHER_H
#define MESSAGECATCHER_H

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// Collects the message log lines written while it lives, from any thread
// (library callbacks log on their own threads), and passes them on to the
// handler in force before it. A log line is how some steps show that they
// ran at all, for example a time-out timer that fired after its reply had
// finished: wait for it with QTRY_VERIFY(catcher.contains(...)) instead of
// sleeping past it. One at a time.
class MessageCatcher
{
public:
    MessageCatcher()
    {
        QMutexLocker locker(&mutex());
        entries().clear();
        previous() = qInstallMessageHandler(collect);
    }
    ~MessageCatcher() { qInstallMessageHandler(previous()); }

    MessageCatcher(const MessageCatcher &) = delete;
    MessageCatcher &operator=(const MessageCatcher &) = delete;

    static QStringList lines()
    {
        QMutexLocker locker(&mutex());
        QStringList result;
        for (const Entry &entry : qAsConst(entries()))
            result << entry.message;
        return result;
    }

    // True when a line collected so far is exactly text.
    bool contains(const QString &text) const { return lines().contains(text); }

    // Lines of that level containing part.
    int count(QtMsgType type, const QString &part) const
    {
        QMutexLocker locker(&mutex());
        int found = 0;
        for (const Entry &entry : qAsConst(entries()))
            found += entry.type == type && entry.message.contains(part);
        return found;
    }
    bool has(QtMsgType type, const QString &part) const { return count(type, part) > 0; }

private:
    struct Entry
    {
        QtMsgType type;
        QString message;
    };

    static QVector<Entry> &entries()
    {
        static QVector<Entry> collected;
        return collected;
    }
    static QMutex &mutex()
    {
        static QMutex lock;
        return lock;
    }
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }

    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        {
            QMutexLocker locker(&mutex());
            entries().append({ type, message });
        }
        if (previous())
            previous()(type, context, message);
    }
};

#endif // MESSAGECATCHER_H
