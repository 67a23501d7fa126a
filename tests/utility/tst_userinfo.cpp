#include "utility/userinfo.h"

#include <QTest>

// Student build. The fixture is the roster of a class as the classroom
// fills it: teacher, signed-in student, then the other students.
class TestUserInfo : public QObject
{
    Q_OBJECT

private slots:
    void newRosterIsEmptyAndSafe();
    void fillingOrderAndIndices();
    void indexReads_data();
    void indexReads();
    void uidLookup();
    void firstOfDuplicateUidsWins();
    void setUserInfoByUidOverwritesWholeRecord();
    void setUserInfoByUidUnknownAddsNothing();
    void userType_data();
    void userType();
    void channelFlag();
    void unknownUidFlagsChangeNothing();
    void resetsIncludeTeacher();
    void allStudentsChecks_data();
    void allStudentsChecks();
    void clearResetsIndices();

private:
    static UserInfo person(const QString &uid, int userType, const QString &name = QString());
    static UserList classRoster();
};

UserInfo TestUserInfo::person(const QString &uid, int userType, const QString &name)
{
    UserInfo info;
    info.uid = uid;
    info.userType = userType;
    info.userName = name.isEmpty() ? uid : name;
    return info;
}

UserList TestUserInfo::classRoster()
{
    UserList roster;
    roster.addUser(person("t1", 2, "Teacher"));
    roster.setTeacherIdx(0);
    roster.addUser(person("s1", 1, "Me"));
    roster.setCurUserIdx(roster.getUserCount() - 1);
    roster.addUsers({ person("s2", 1), person("s3", 1) });
    return roster;
}

void TestUserInfo::newRosterIsEmptyAndSafe()
{
    UserList roster;
    QCOMPARE(roster.getUserCount(), 0);
    QCOMPARE(roster.getTeacherIdx(), -1);
    QCOMPARE(roster.getCurUserIdx(), -1);

    QTest::ignoreMessage(QtCriticalMsg, "curUserIdx is incorrect, you may not initialized. curUserIdx:-1");
    QCOMPARE(roster.getCurUser().uid, QString());
    QTest::ignoreMessage(QtCriticalMsg, "teacherIdx is incorrect, you may not initialized. teacheIdx:-1");
    QCOMPARE(roster.getTeacher().userType, 0);

    QVERIFY(roster.isAllStudentsVideoReady());
    QVERIFY(roster.isAllStudentsLocalPlayCapable());
}

void TestUserInfo::fillingOrderAndIndices()
{
    UserList roster;
    roster.addUser(person("t1", 2));
    roster.setTeacherIdx(0);
    // A student keeps no current user until it is set explicitly.
    QCOMPARE(roster.getTeacherIdx(), 0);
    QCOMPARE(roster.getCurUserIdx(), -1);

    roster = classRoster();
    QCOMPARE(roster.getUserCount(), 4);
    QCOMPARE(roster.getTeacher().uid, QStringLiteral("t1"));
    QCOMPARE(roster.getCurUser().uid, QStringLiteral("s1"));
    QStringList order;
    for (int i = 0; i < roster.getUserCount(); ++i)
        order << roster.getUserInfoByIdx(i).uid;
    QCOMPARE(order, QStringList({ "t1", "s1", "s2", "s3" }));
}

void TestUserInfo::indexReads_data()
{
    QTest::addColumn<int>("idx");
    QTest::addColumn<QString>("uid");

    QTest::newRow("first") << 0 << "t1";
    QTest::newRow("last") << 3 << "s3";
    QTest::newRow("equal to count") << 4 << "";
    QTest::newRow("negative") << -1 << "";
    QTest::newRow("far out") << 1000 << "";
}

void TestUserInfo::indexReads()
{
    QFETCH(int, idx);
    QFETCH(QString, uid);

    const UserList roster = classRoster();
    if (uid.isEmpty())
        QTest::ignoreMessage(QtCriticalMsg, qPrintable(QStringLiteral("idx is incorrect. idx:%1").arg(idx)));
    const UserInfo info = roster.getUserInfoByIdx(idx);
    QCOMPARE(info.uid, uid);
    if (uid.isEmpty()) {
        QCOMPARE(info.userName, QString());
        QCOMPARE(info.userType, 0);
        QCOMPARE(info.isInChannel, false);
    }
}

void TestUserInfo::uidLookup()
{
    const UserList roster = classRoster();
    UserInfo out;
    QVERIFY(roster.getUserInfoByUid("s2", out));
    QCOMPARE(out.uid, QStringLiteral("s2"));
    QVERIFY(roster.isUserExist("s2"));

    // Unknown or differently cased uid: out is left as it was.
    out = person("untouched", 1);
    QTest::ignoreMessage(QtCriticalMsg, "not found UserInfo, uid:S2");
    QVERIFY(!roster.getUserInfoByUid("S2", out));
    QCOMPARE(out.uid, QStringLiteral("untouched"));
    QVERIFY(!roster.isUserExist("S2"));
    QVERIFY(!roster.isUserExist(""));
}

void TestUserInfo::firstOfDuplicateUidsWins()
{
    UserList roster;
    roster.addUser(person("dup", 1, "first"));
    roster.addUser(person("dup", 1, "second"));

    UserInfo out;
    QVERIFY(roster.getUserInfoByUid("dup", out));
    QCOMPARE(out.userName, QStringLiteral("first"));

    roster.setIsInChannel("dup", true);
    QVERIFY(roster.getUserInfoByIdx(0).isInChannel);
    QVERIFY(!roster.getUserInfoByIdx(1).isInChannel);
}

void TestUserInfo::setUserInfoByUidOverwritesWholeRecord()
{
    UserList roster = classRoster();
    roster.setIsInChannel("s2", true);

    // Read-modify-write as the classroom does after a praise.
    UserInfo info;
    QVERIFY(roster.getUserInfoByUid("s2", info));
    info.likeNum += 1;
    info.controlFlags |= 8;
    info.isInChannel = false;
    info.lastAwardInfo.award_id = "3";
    QVERIFY(roster.setUserInfoByUid(info));

    const UserInfo stored = roster.getUserInfoByIdx(2);
    QCOMPARE(stored.likeNum, 1);
    QCOMPARE(stored.controlFlags, 8);
    QCOMPARE(stored.isInChannel, false);
    QCOMPARE(stored.lastAwardInfo.award_id, QStringLiteral("3"));
    QCOMPARE(roster.getUserCount(), 4);
}

void TestUserInfo::setUserInfoByUidUnknownAddsNothing()
{
    UserList roster = classRoster();
    QTest::ignoreMessage(QtCriticalMsg, "not found UserInfo, uid:stranger");
    QVERIFY(!roster.setUserInfoByUid(person("stranger", 1)));
    QCOMPARE(roster.getUserCount(), 4);
    QVERIFY(!roster.isUserExist("stranger"));
}

void TestUserInfo::userType_data()
{
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("type");

    QTest::newRow("teacher") << "t1" << 2;
    QTest::newRow("student") << "s3" << 1;
    QTest::newRow("unknown") << "nobody" << 0;
}

void TestUserInfo::userType()
{
    QFETCH(QString, uid);
    QFETCH(int, type);

    const UserList roster = classRoster();
    if (type == 0)
        QTest::ignoreMessage(QtCriticalMsg, qPrintable("not found UserInfo, uid:" + uid));
    QCOMPARE(roster.getUserType(uid), type);
}

void TestUserInfo::channelFlag()
{
    UserList roster = classRoster();
    QVERIFY(!roster.getIsInChannel("s1"));

    QTest::ignoreMessage(QtInfoMsg, "setIsInChannel uid:s1, value:1");
    QTest::ignoreMessage(QtInfoMsg, "found it");
    QTest::ignoreMessage(QtInfoMsg, "setIsInChannel, uid:s1, value:1");
    roster.setIsInChannel("s1", true);
    QVERIFY(roster.getIsInChannel("s1"));
    QVERIFY(!roster.getIsInChannel("s2"));

    roster.setVideoReadyForPlaying("s2", true);
    QVERIFY(roster.getVideoReadyForPlaying("s2"));
    roster.setVideoLocalPlayCapability("s2", 3);
    QCOMPARE(roster.getUserInfoByIdx(2).videoLocalPlayCapability, 3);

    // Handed-out copies are independent of the stored records.
    UserInfo copy = roster.getCurUser();
    copy.isInChannel = false;
    QVERIFY(roster.getIsInChannel("s1"));
}

void TestUserInfo::unknownUidFlagsChangeNothing()
{
    UserList roster = classRoster();
    QTest::ignoreMessage(QtInfoMsg, "setIsInChannel uid:ghost, value:1");
    QTest::ignoreMessage(QtInfoMsg, "not found");
    roster.setIsInChannel("ghost", true);
    roster.setVideoReadyForPlaying("ghost", true);
    QTest::ignoreMessage(QtInfoMsg, "entermsg:not found");
    roster.setVideoLocalPlayCapability("ghost", 1);

    QCOMPARE(roster.getUserCount(), 4);
    QVERIFY(!roster.getIsInChannel("ghost"));
    QVERIFY(!roster.getVideoReadyForPlaying("ghost"));
    for (int i = 0; i < roster.getUserCount(); ++i) {
        const UserInfo info = roster.getUserInfoByIdx(i);
        QVERIFY(!info.isInChannel);
        QVERIFY(!info.videoReadyForPlaying);
        QCOMPARE(info.videoLocalPlayCapability, 0);
    }
}

void TestUserInfo::resetsIncludeTeacher()
{
    UserList roster = classRoster();
    for (const char *uid : { "t1", "s1", "s2" }) {
        roster.setIsInChannel(uid, true);
        roster.setVideoReadyForPlaying(uid, true);
    }
    roster.resetAllStudentsInChannelStatus();
    roster.resetAllStudentsVideoReadyStatus();
    for (const char *uid : { "t1", "s1", "s2" }) {
        QVERIFY(!roster.getIsInChannel(uid));
        QVERIFY(!roster.getVideoReadyForPlaying(uid));
    }
}

void TestUserInfo::allStudentsChecks_data()
{
    // One student "s" beside the teacher; the teacher is never asked.
    QTest::addColumn<bool>("teacherReady");
    QTest::addColumn<bool>("inChannel");
    QTest::addColumn<bool>("videoReady");
    QTest::addColumn<int>("capability");
    QTest::addColumn<bool>("allReady");
    QTest::addColumn<bool>("allCapable");

    QTest::newRow("student ready and capable") << false << true << true << 1 << true << true;
    QTest::newRow("student in channel, not ready") << true << true << false << 1 << false << true;
    QTest::newRow("student in channel, not capable") << true << true << true << 0 << true << false;
    QTest::newRow("student out of channel blocks nothing") << false << false << false << 0 << true << true;
}

void TestUserInfo::allStudentsChecks()
{
    QFETCH(bool, teacherReady);
    QFETCH(bool, inChannel);
    QFETCH(bool, videoReady);
    QFETCH(int, capability);
    QFETCH(bool, allReady);
    QFETCH(bool, allCapable);

    UserList roster;
    UserInfo teacher = person("t", 2);
    teacher.isInChannel = true;
    teacher.videoReadyForPlaying = teacherReady;
    roster.addUser(teacher);
    UserInfo ready = person("r", 1);
    ready.isInChannel = true;
    ready.videoReadyForPlaying = true;
    ready.videoLocalPlayCapability = 1;
    roster.addUser(ready);
    UserInfo student = person("s", 1);
    student.isInChannel = inChannel;
    student.videoReadyForPlaying = videoReady;
    student.videoLocalPlayCapability = capability;
    roster.addUser(student);

    QCOMPARE(roster.isAllStudentsVideoReady(), allReady);
    QCOMPARE(roster.isAllStudentsLocalPlayCapable(), allCapable);
}

void TestUserInfo::clearResetsIndices()
{
    UserList roster = classRoster();
    roster.clear();
    QCOMPARE(roster.getUserCount(), 0);
    QCOMPARE(roster.getTeacherIdx(), -1);
    QCOMPARE(roster.getCurUserIdx(), -1);
}

QTEST_GUILESS_MAIN(TestUserInfo)
#include "tst_userinfo.moc"
