#ifndef ACTIONLOG_H
#define ACTIONLOG_H

#include <QString>
#include <QtGlobal>

#include <atomic>

class QFile;

// Machine-readable log of user actions and notable events, one
// comma-separated record per line, next to the message log. Its file is
// chosen and reopened by LogMgr; the time of every record is corrected by
// the server clock offset.
class ActionLog
{
public:
    enum ActionLogType {
        Error = 0,
        Normal = 1,
        Click = 2,
        Im = 3,
    };

    // The one object of the process; created on first call, never deleted.
    static ActionLog *instance();

    // Opens path for appending and resets the time offset. On failure the
    // records are dropped until the next successful init().
    bool init(const QString &path);
    void close();
    // Bytes in the file now (its size when opened, and every record since).
    qint64 fileBytes() const { return m_bytes.load(); }

    void NormalInfo(const QString &actionName, const QString &actionInfo);
    void ClickInfo(const QString &actionName, const QString &actionInfo);
    void ImInfo(const QString &actionName, const QString &actionInfo);
    // Also writes a critical line to the message log.
    void ErrorInfo(const QString &actionName, const QString &actionInfo);

    // The file records go to; empty while none is open.
    QString filePath() const;

    // Server clock minus local clock, in milliseconds.
    void setTimeOffset(qint64 milliseconds);
    qint64 timeOffset() const;

    // "error", "normal", "click", "im"; empty for any other value.
    static QString kindText(int kind);
    // One record line without the leading line break.
    static QString recordLine(int kind, qint64 msecsSinceEpoch,
                              const QString &actionName, const QString &actionInfo);

private:
    ActionLog() = default;
    ~ActionLog() = default;
    Q_DISABLE_COPY(ActionLog)

    void write(int kind, const QString &actionName, const QString &actionInfo);

    QFile *m_file = nullptr;
    qint64 m_timeOffset = 0;
    std::atomic<qint64> m_bytes{ 0 };
};

#endif // ACTIONLOG_H
