#include "classtimeprogress.h"
#include "ui_classtimeprogress.h"

#include "mgr/appcontext.h"
#include "mgr/singleton.h"
#include "utility/durations.h"
#include "utility/timeutility.h"
#include "widget/coursedialogs.h"

#include <QTimer>

namespace {

const int kTickMs = 1000;

} // namespace

ClassTimeProgress::ClassTimeProgress(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ClassTimeProgress)
    , m_timer(new QTimer(this))
{
    ui->setupUi(this);
    connect(m_timer, &QTimer::timeout, this, &ClassTimeProgress::slot_updateTime);
    m_timer->start(Durations::ms(kTickMs));
    ui->widgetInClass->hide();
    ui->widgetTimeprogress->setRange(0, 1500);
}

ClassTimeProgress::~ClassTimeProgress()
{
    delete ui;
}

void ClassTimeProgress::setWhiteBoard(WidgetWhiteBoard *board)
{
    m_whiteBoard = board;
}

void ClassTimeProgress::slot_updateTime()
{
    const AppContext *context = Singleton<AppContext>::instance();
    const qint64 offset = context->getServerTimeOffset() / 1000;
    const qint64 begin = context->getClassBeginTime();
    const qint64 length = context->getClassLength();
    const qint64 elapsed = TimeUtility::currentSecsSinceEpoch() + offset - begin;

    if (elapsed < 0) {
        ui->widgetBeforeClass->show();
        ui->widgetInClass->hide();
        ui->labelBeforClass->setText(QStringLiteral("This class will start in ")
                                     + TimeUtility::secondsToHms(QStringLiteral("hh:mm:ss"), uint(-elapsed)));
    } else {
        ui->widgetBeforeClass->hide();
        ui->widgetInClass->show();
        // By the client's clock, the one the user reads.
        ui->labelBeginTime->setText(TimeUtility::timestampToString(QStringLiteral("hh:mm"), uint(begin - offset)));
        ui->labelEndTime->setText(
            TimeUtility::timestampToString(QStringLiteral("hh:mm"), uint(begin + length - offset)));
        ui->widgetTimeprogress->setValue(int(qMin<qint64>(elapsed, INT_MAX)));
    }

    if (context->isInClass() && m_whiteBoard && !m_noticeShown && elapsed == kFinishedNoticeSecs) {
        CourseDialogs::notice(CourseDialogs::About, nullptr, QStringLiteral("Velmo"),
                              QStringLiteral("This class is finished, please exit and get ready for the next class."));
        m_noticeShown = true;
    }
}

bool ClassTimeProgress::isCountingDown() const
{
    return !ui->widgetBeforeClass->isHidden();
}

QString ClassTimeProgress::countdownText() const
{
    return ui->labelBeforClass->text();
}

QString ClassTimeProgress::beginTimeText() const
{
    return ui->labelBeginTime->text();
}

QString ClassTimeProgress::endTimeText() const
{
    return ui->labelEndTime->text();
}

WidgetTimeProgress *ClassTimeProgress::bar() const
{
    return ui->widgetTimeprogress;
}
