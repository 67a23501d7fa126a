#ifndef LOGMGR_H
#define LOGMGR_H

#include "mgr/logwritequeue.h"
#include "mgr/singletonmgrbase.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QtGlobal>

#include <atomic>

// Turns every message of the toolkit's logger into one line of the day's
// message log in the data folder "log", and names the day's files for
// itself and for the action log: each start, and each reopening after an
// upload, writes a new pair of files with the next sequence number.
//
// The log folder is bounded: a message or action log that grows past
// kMaxLogFileBytes is followed by a new pair of files, and every time a
// pair is opened the oldest files of the folder (logs, dumps, zips) go
// until the folder holds at most kMaxLogFolderBytes.
class LogMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    static constexpr qint64 kMaxLogFileBytes = 8 * 1024 * 1024;
    static constexpr qint64 kMaxLogFolderBytes = 64 * 1024 * 1024;

    explicit LogMgr(QObject *parent = nullptr);
    // Removes the message handler before the object goes away.
    ~LogMgr() override;

    // Opens a new pair of files and installs the message handler; safe to
    // run again in a later pass of the restart loop.
    void init() override;

    // Chooses today's base name and (re)opens the message and action logs,
    // then trims the folder to its bound.
    void openLogFiles();
    // Deletes the oldest files of folder, never those named in keep, until
    // it holds at most maxBytes. Returns how many were deleted.
    static int trimLogFolder(const QString &folder, qint64 maxBytes, const QStringList &keep);
    void closeLogFile();
    bool openLogFile(const QString &path);
    // Waits until every line logged so far is in the file (within the
    // thread's lock-wait limit).
    void flush();
    // Async-signal-safe: writes the lines still queued, for the crash
    // handler to call before it writes its dump.
    static void writePendingForCrash();
    // Tests hold the writer back to see what a crash writes.
    void holdWriterForTests(bool hold);

    QString logFilePath() const;

    void writeMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);
    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    // Sequence number of a log or action-log file name; -1 when it has none.
    static int sequenceOf(const QString &fileName);
    // Base name one past the highest sequence in use for date among files
    // not yet marked "uploaded".
    static QString nextLogBaseName(const QString &date);
    static QString logBaseName(const QString &date, int sequence);
    static QString levelText(QtMsgType type);
    static QString shortFunctionName(const QString &signature);
    // One record line, ending with a line break.
    static QString recordLine(qint64 msecsSinceEpoch, QtMsgType type, quintptr threadId,
                              const QMessageLogContext &context, const QString &message);
    // Appends the record line of recordLine() to line, as UTF-8.
    static void appendRecord(QByteArray &line, qint64 msecsSinceEpoch, QtMsgType type, quintptr threadId,
                             const QMessageLogContext &context, const QString &message);
    // UTC+8 wall-clock text of the instant, the service's time zone.
    static QString beiJingTime(const QString &format, qint64 msecsSinceEpoch);

private:
    static const char *levelBytes(QtMsgType type);
    void uninstallHandler();

    QString m_logFilePath;
    LogWriteQueue m_queue;
    // A new pair is asked for once, when the log passes its bound.
    std::atomic<bool> m_nextFileAsked{false};
    mutable QMutex m_fileMutex;
    QMutex m_initMutex;
    bool m_handlerInstalled = false;
    QtMessageHandler m_previousHandler = nullptr;
};

#endif // LOGMGR_H
