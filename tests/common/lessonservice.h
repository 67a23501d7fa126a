#ifndef LESSONSERVICE_H
#define LESSONSERVICE_H

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QScopedPointer>
#include <QString>
#include <QTemporaryDir>

// Runs the stand-in lesson service (lessonry-lesson-service) for one test:
// starts it on a free port, points a servers.ini at it through
// LESSONRY_SERVERS_INI, and drives its control calls (faults, reset, the
// request log). The control calls block briefly on their own socket and
// never run an event loop, so they cannot deliver the test's own replies
// early.
class LessonService
{
public:
    // The fixture accounts and classes the service knows.
    static constexpr const char *kStudentPhone = "13800000001";
    static constexpr const char *kStudentPassword = "student123";
    static constexpr const char *kStudentId = "20001";
    static constexpr const char *kClassmateId = "20002"; // in the class roster, cannot sign in
    static constexpr const char *kTeacherEmail = "teacher@example.com";
    static constexpr const char *kTeacherPassword = "teacher123";
    static constexpr const char *kTeacherId = "30001";
    static constexpr const char *kClassId = "10001";      // begins the minute the service started
    static constexpr const char *kLaterClassId = "10002"; // two hours later
    static constexpr const char *kFinishedClassId = "10010"; // the teacher's, earlier today, status 3
    static constexpr const char *kMeetingClassId = "10011";  // the teacher's, on the meeting service (use_tool 1)
    static constexpr const char *kTrialClassId = "10003";    // tomorrow, a trial class (free_try 100)
    static constexpr const char *kSupervisionToken = "supervisor-token";

    LessonService();
    ~LessonService();

    LessonService(const LessonService &) = delete;
    LessonService &operator=(const LessonService &) = delete;

    // Starts the service and waits until it listens; false (with a warning
    // saying why) when it could not be started. The service ends with the
    // thread that starts it, so call this from the test's main thread.
    bool start();
    // Ends the service and points LESSONRY_SERVERS_INI back where it was
    // before start() (in a test process: the dead address's servers file).
    void stop();
    bool isRunning() const;
    // Exit code of the last run, once stopped; -1 when it crashed or was killed.
    int lastExitCode() const;

    quint16 port() const;
    QString baseUrl() const;
    QString serversIniPath() const;
    QString fixtureUrl(const QString &fileName) const;

    // Forgets recorded requests, faults and what the calls changed.
    bool reset();
    // Spoils the answers of one exact path, e.g. "/QXV1/PcStudents/login";
    // mode is delay, hang, nonjson, status, truncate, stall, gzip, chunked,
    // redirect or body, and extra may hold "delay_ms", "status", "times",
    // for a redirect "location" (a path on the service) and for body "body"
    // (the whole answer text, sent with HTTP 200). A stall sends half the
    // body, then nothing until a reset.
    bool setFault(const QString &path, const QString &mode, const QJsonObject &extra = QJsonObject());
    // Changes the upgrade check's answer until the next reset: "offer"
    // ("installer" or "broken") offers version 1.1.5.10 with that installer
    // (the working one records that it ran in $LESSONRY_INSTALLER_RECORD),
    // its MD5 in capitals and a second address; any answer key given
    // ("FileMd5", "DownLoadMainUrl", ...) replaces that value.
    bool setUpgradeAnswer(const QJsonObject &description);
    // Every request since the last reset, oldest first.
    QJsonArray requests();
    // The newest request for a path; empty when there was none.
    QJsonObject lastRequest(const QString &path);

    struct ControlReply
    {
        int status = 0; // 0: no answer
        QByteArray body;
    };
    ControlReply control(const QByteArray &method, const QByteArray &path, const QByteArray &body = QByteArray());

private:
    bool writeServersIni();

    QScopedPointer<QProcess> m_process;
    QScopedPointer<QTemporaryDir> m_iniDir;
    quint16 m_port = 0;
    int m_lastExitCode = -1;
    bool m_ownsEnvironment = false;
    QByteArray m_previousServersIni;
};

#endif // LESSONSERVICE_H
