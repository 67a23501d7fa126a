#include "widgetclassroom.h"

#include "biz/course/classinfoentity.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/translatelanguage.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QVBoxLayout>

WidgetClassRoom::WidgetClassRoom(QWidget *parent)
    : BaseMainWidget(parent)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("WidgetClassRoom"));
    setWindowTitle(Translatelanguage::instance()->getText(QStringLiteral("Classroom")));
    setMinimumSize(1024, 690);
    setStyleSheet(QStringLiteral("QFrame#WidgetClassRoom{background-color: #2f3244;}"
                                 "QLabel{color: #ffffff; font-size: 20px;}"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    SignalQueueMgr::instance()->signalClassroomOpen();
}

WidgetClassRoom::~WidgetClassRoom() = default;

void WidgetClassRoom::startClass(const ClassInfoEntity &info)
{
    qInfo("<classroom> startClass classId:%s", qUtf8Printable(info.class_id));
    m_classId = info.class_id;
    AppContext *context = Singleton<AppContext>::instance();
    context->setClassId(info.class_id);
    context->setClassBeginTime(info.begin_time.toUInt());
    context->setClassLength(kClassLengthSecs);
    context->setInClass(true);
    Singleton<AppRestart>::instance()->setCurClassId(info.class_id);

    const QDateTime begin = QDateTime::fromSecsSinceEpoch(info.begin_time.toLongLong());
    m_label->setText(QStringLiteral("%1\n%2\n%3 %4")
                         .arg(info.class_id, info.material.pdf.section(QLatin1Char('/'), -1),
                              info.teacher.nickname, begin.toString(QStringLiteral("hh:mm"))));
}

QString WidgetClassRoom::getClassId() const
{
    return m_classId;
}

void WidgetClassRoom::closeEvent(QCloseEvent *event)
{
    // A second close of the same window announces nothing again.
    if (!m_closed) {
        m_closed = true;
        Singleton<AppContext>::instance()->resetClassInfo();
        SignalQueueMgr::instance()->signalClassroomClose();
    }
    BaseMainWidget::closeEvent(event);
}
