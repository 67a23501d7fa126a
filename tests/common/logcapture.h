#ifndef LOGCAPTURE_H
#define LOGCAPTURE_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every message-log line written while it lives, from any thread,
// instead of printing it. One at a time.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // Each line as "<level letter> <message>": D, I, W, C or F.
    QStringList lines() const;
    // Lines containing part.
    QStringList matching(const QString &part) const;
    int count(const QString &part) const { return matching(part).size(); }
    bool contains(const QString &part) const { return count(part) > 0; }
    void clear();

private:
    QtMessageHandler m_previous;
};

#endif // LOGCAPTURE_H
