#include "boardclass.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "biz/login/studentlogindataentity.h"
#include "biz/login/teacherlogindataentity.h"
#include "buildconstants.h"
#include "mgr/message/classordergate.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "widget/student/widgetwhiteboardstudent.h"
#include "widget/teacher/widgetwhiteboardteacher.h"

#include <QTimer>

BoardClass::BoardClass(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    if (isTeacher()) {
        TeacherLoginDataEntity user;
        user.id = options.uid;
        Singleton<TeacherCurrentUser>::instance()->setUserInfo(user);
    } else {
        StudentLoginDataEntity user;
        user.id = options.uid;
        Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    }

    UserInfo teacher;
    teacher.uid = options.teacherUid;
    teacher.userName = QStringLiteral("Ms. Green");
    teacher.userType = 2;
    m_roster.addUser(teacher);
    m_roster.setTeacherIdx(0);
    for (const QString &student : options.studentUids) {
        UserInfo info;
        info.uid = student;
        info.userName = QStringLiteral("Student ") + student;
        info.userType = 1;
        m_roster.addUser(info);
    }
    for (int i = 0; i < m_roster.getUserCount(); ++i) {
        if (m_roster.getUserInfoByIdx(i).uid == options.uid)
            m_roster.setCurUserIdx(i);
    }

    SendAndReceiveMsg::instance();
    // The teacher's orders of this class are obeyed, as in a classroom.
    QStringList everybody = options.studentUids;
    everybody << options.teacherUid;
    ClassOrderGate::instance()->setClass(options.classId, options.teacherUid, everybody);
    if (isTeacher())
        m_board = new WidgetWhiteBoardTeacher;
    else
        m_board = new WidgetWhiteBoardStudent;
    m_board->setClassInfo(&m_roster, options.classId);
}

BoardClass::~BoardClass()
{
    delete m_board;
}

bool BoardClass::isTeacher() const
{
    return getClientRole() != 1;
}

void BoardClass::join()
{
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->init(m_options.uid);
    connect(mqtt, &MqttImSdk::signal_loginSuccess, this, [this, mqtt](QString uid) {
        m_joined = 0;
        mqtt->joinChannel(m_options.classId, uid);
    });
    const auto relogin = [this] {
        QTimer::singleShot(m_options.reloginMs, this,
                           [this] { MqttImSdk::instance()->login(m_options.classId, m_options.uid, m_options.brokerPassword); });
    };
    connect(mqtt, &MqttImSdk::signal_loginFailure, this, [this, relogin](int code, QString) {
        emit loginFailed(code);
        relogin();
    });
    connect(mqtt, &MqttImSdk::signal_connectionLost, this, [relogin](QString) { relogin(); });
    connect(mqtt, &MqttImSdk::signal_joinChannelSuccess, this, [this] {
        if (++m_joined == 2)
            emit inChannel();
    });
    mqtt->login(m_options.classId, m_options.uid, m_options.brokerPassword);
}

void BoardClass::leave()
{
    // Gone at once, as a closing client: the broker's will tells the others.
    MqttImSdk::instance()->destory();
}
