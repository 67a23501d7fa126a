// An idle classroom of this program's role, a class of the teacher and two
// students with a prize at rest on each student, shown on its class page
// and on its award page (the light turning) in turn, the same time each,
// several rounds, each round starting with the other page; prints the CPU
// time each page used, the award page's ratio to the class page, and the
// medians of the rounds. No
// service is started: every address is the test environment's dead one, so
// the pages idle as they do before anybody answers.
//
//   bench_awardidle_<role> [seconds per turn, default 5] [rounds, default 4]

#include "biz/course/classinfoentity.h"
#include "biz/login/studentlogindataentity.h"
#include "biz/login/teacherlogindataentity.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "median.h"
#include "processcpu.h"
#include "rolepolicy.h"
#include "widget/widgetclassmode.h"
#include "widget/widgetclassroom.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

const char kTeacherId[] = "30001";
const char kStudentId[] = "20001";

ClassInfoEntity lesson()
{
    ClassInfoEntity info;
    info.class_id = QStringLiteral("10001");
    info.begin_time = QString::number(QDateTime::currentSecsSinceEpoch() - 60);
    info.teacher.tid = QString::fromLatin1(kTeacherId);
    info.teacher.nickname = QStringLiteral("Teacher");
    for (const char *sid : { "20002", kStudentId }) {
        ClassStudentEntity student;
        student.sid = QString::fromLatin1(sid);
        student.nickname = student.sid;
        student.lastAwardsInfo.award_id = QStringLiteral("2");
        info.students.append(student);
    }
    info.app_config.fps = 40;
    return info;
}

void signIn()
{
    if (RolePolicy::current().isStudent()) {
        StudentLoginDataEntity user;
        user.id = QString::fromLatin1(kStudentId);
        Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    } else {
        TeacherLoginDataEntity user;
        user.id = QString::fromLatin1(kTeacherId);
        Singleton<TeacherCurrentUser>::instance()->setUserInfo(user);
    }
}

void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU seconds the process used while the room showed the page for seconds.
double idleCpu(WidgetClassRoom *room, enum WidgetClassMode::ClassMode page, int seconds)
{
    room->setModule(page);
    runEvents(500);
    const double before = ownCpuSeconds();
    runEvents(seconds * 1000);
    return ownCpuSeconds() - before;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The classroom logs every failed connection; the console is not what
    // is measured.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false\n*.critical=false"));
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 4;

    signIn();
    auto *room = new WidgetClassRoom;
    room->resize(1026, 695);
    room->show();
    room->startClass(lesson());
    // Not counted: the first show of each page loads plugins and fills
    // caches.
    idleCpu(room, WidgetClassMode::PrizeMode, 1);
    idleCpu(room, WidgetClassMode::ClassMode, 1);

    std::vector<double> classCpus;
    std::vector<double> awardCpus;
    std::vector<double> ratios;
    for (int round = 1; round <= rounds; ++round) {
        double classCpu = 0;
        double awardCpu = 0;
        if (round % 2) {
            classCpu = idleCpu(room, WidgetClassMode::ClassMode, seconds);
            awardCpu = idleCpu(room, WidgetClassMode::PrizeMode, seconds);
        } else {
            awardCpu = idleCpu(room, WidgetClassMode::PrizeMode, seconds);
            classCpu = idleCpu(room, WidgetClassMode::ClassMode, seconds);
        }
        classCpus.push_back(classCpu);
        awardCpus.push_back(awardCpu);
        ratios.push_back(classCpu > 0 ? awardCpu / classCpu : 0.0);
        std::printf("round %d: class page %.3f s CPU, award page %.3f s CPU in %d s each, ratio %.2f\n", round,
                    classCpu, awardCpu, seconds, ratios.back());
    }
    // Medians: a round may catch a one-off of the classroom's start-up
    // (about half a second of CPU some seconds in), which neither page
    // causes.
    std::printf("%s: median class page %.2f%% of a core, award page %.2f%%, award/class %.2f\n",
                qUtf8Printable(RolePolicy::current().roleWord), 100.0 * median(classCpus) / seconds,
                100.0 * median(awardCpus) / seconds, median(ratios));
    delete room;
    return 0;
}
