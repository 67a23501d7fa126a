#ifndef FIXTUREDATA_H
#define FIXTUREDATA_H

#include <QDate>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <mutex>

struct UploadedPart;

// A file the service hands out: a fixture or an uploaded picture.
struct ServedFile
{
    QByteArray data;
    QByteArray contentType;
    QString md5;
};

// One person of the fixture: the two accounts and the class mates.
struct FixturePerson
{
    QString id;
    QString nickname;
    QString login;    // phone number or e-mail; empty: cannot sign in
    QString password; // as typed
    QString mobile;
    QString email;
    QString avatar;   // fixture file name
    QString gender;   // "1" boy, "2" girl
    QString age;
    QString grdLevel;
};

struct FixtureClass
{
    QString id;
    qint64 beginTime = 0; // seconds since 1970
    int status = 1;       // 3: finished
    QString teacherId;
    QStringList studentIds;
    QString course;       // course level, e.g. "Level 1"
    QString unit;         // unit of the course
    QString picture;      // fixture file of the lesson picture
    int useTool = 2;      // 1: held on the outside meeting service
    QString freeTry = QStringLiteral("0"); // 100: a trial class
    QString meetingId;    // for useTool 1
};

// Everything the service knows: the fixture accounts and classes, whose
// begin times follow the service's start, the fixture files, and the little
// state the calls change (likes, awards, reviews, renewed keys, uploads).
// Thread-safe: the server answers on several threads.
class FixtureData
{
public:
    static const char *const kSupervisionToken;

    explicit FixtureData(qint64 startSeconds);

    // Reads every served fixture file and the media information of the folder.
    bool loadFiles(const QString &dir, QString *error);
    bool loadMediaFiles(QString *error);
    // Set once the port is known, before the first request is served.
    void setBaseUrl(const QString &baseUrl);
    QString baseUrl() const;
    QString fileUrl(const QString &name) const;

    bool fixtureFile(const QString &name, ServedFile *file) const;
    // The media information of a fixture ("?avinfo"); empty when it has none.
    QJsonObject avinfo(const QString &name) const;
    // Keeps an uploaded picture and returns its address.
    QString storeUpload(const UploadedPart &part);
    bool uploadedFile(const QString &name, ServedFile *file) const;

    const FixturePerson *student(const QString &login) const;
    const FixturePerson *teacher(const QString &login) const;
    static bool passwordMatches(const FixturePerson &person, const QString &given);
    const FixturePerson *defaultStudent() const;
    const FixturePerson *defaultTeacher() const;

    bool hasClass(const QString &classId) const;
    bool isInClass(const QString &classId, const QString &uid) const;

    QJsonObject studentLoginData(const FixturePerson &student) const;
    QJsonObject teacherLoginData(const FixturePerson &teacher) const;
    QJsonArray bookedClassDays(const QString &studentId) const;
    QJsonArray bookedClassesOfDay(const QString &studentId, qint64 day) const;
    QJsonArray scheduleDays(const QString &teacherId, qint64 firstDay) const;
    QJsonObject teacherClassDetails(const QString &classId) const;
    QJsonObject classInfo(const QString &classId, double clientLocalTs, qint64 receivedMs) const;
    QJsonObject renewAgoraInfo(const QString &classId);
    QJsonObject upgradeInfo(const QString &source) const;
    // Changes the answer of the upgrade check: "offer" ("installer" or
    // "broken") offers a newer version with that installer, its MD5 and a
    // second address; any answer key given replaces that key's value.
    // Returns an error text for a description it cannot use.
    QString setUpgradeAnswer(const QJsonObject &description);
    QJsonObject appConfig() const;

    // The sessions the logins gave out, so a call can tell who makes it
    // (the newest kMaxSessions are kept; a reset keeps them, as the
    // clients stay signed in).
    static constexpr int kMaxSessions = 1000;
    void addSession(const QString &sessionId, const QString &uid);
    // The uid signed in with the PHPSESSID of a Cookie header; empty when
    // none is known.
    QString sessionUser(const QString &cookieHeader) const;

    void addLike(const QString &classId, const QString &uid);
    void recordAward(const QString &classId, const QStringList &uids, const QString &awardId, qint64 when);
    void markCommented(const QString &classId);
    // Moves the begin time the class information reports for a class (the
    // lessons' schedules keep theirs), so a test can hold a lesson that has
    // run for a while. Returns an error text for a description it cannot use.
    QString setClassBegin(const QJsonObject &description);
    // Back to the state at start; uploads are forgotten too.
    void resetState();

private:
    struct AwardRecord
    {
        QString awardId;
        QString awardTime;
    };

    const FixturePerson *person(const QString &id) const;
    const FixtureClass *findClass(const QString &classId) const;
    QVector<const FixtureClass *> classesOf(const QString &uid) const;
    int likesOf(const QString &uid) const;
    AwardRecord lastAwardOf(const QString &uid) const;
    QJsonArray voices() const;
    QJsonArray videos() const;
    QJsonArray resources() const;
    QString fileMd5(const QString &name) const;

    QVector<FixturePerson> m_people;
    QVector<FixtureClass> m_classes;
    QHash<QString, ServedFile> m_files;
    QJsonObject m_avinfo;

    QString m_baseUrl;
    QDate m_firstDay; // the service's start day: the first day of the week listed

    mutable std::mutex m_mutex; // guards everything below
    QHash<QString, int> m_likes;                  // uid -> likes received
    QHash<QString, AwardRecord> m_lastAwards;     // uid -> last prize
    QSet<QString> m_commented;                    // class ids reviewed
    QHash<QString, int> m_keyRenewals;            // class id -> renewals
    QHash<QString, qint64> m_beginTimes;          // class id -> moved begin time
    QHash<QString, ServedFile> m_uploads;
    QStringList m_uploadOrder;
    QHash<QString, QString> m_sessions;           // session id -> uid
    QStringList m_sessionOrder;                   // oldest first
    quint64 m_uploadCounter = 0;
    QJsonObject m_upgradeAnswer; // replaces keys of the upgrade check answer
};

#endif // FIXTUREDATA_H
