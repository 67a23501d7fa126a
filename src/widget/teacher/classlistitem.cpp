#include "classlistitem.h"
#include "ui_classlistitem.h"

#include <QDateTime>
#include <QDebug>

namespace {

QString badgeStyleWith(const char *background)
{
    return QStringLiteral("QLabel{font-size: 14px;border-radius: 10px;background-color: %1;color: #ffffff;}")
        .arg(QLatin1String(background));
}

QString badgeLetter(const TeacherClassEntity &info)
{
    if (info.pub_cls_id.toInt() != 0)
        return QStringLiteral("P");
    switch (info.free_try.toInt()) {
    case 0:
        return QStringLiteral("R");
    case 1:
        return QStringLiteral("F");
    case 2:
        return QStringLiteral("E");
    case 3:
        return QStringLiteral("P");
    case 100:
        return QStringLiteral("T");
    default:
        return QString();
    }
}

} // namespace

ClassListItem::ClassListItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ClassListItem)
{
    ui->setupUi(this);
}

ClassListItem::~ClassListItem()
{
    delete ui;
}

void ClassListItem::setClassInfo(const TeacherClassEntity &info)
{
    const int begin = info.begin_time.toInt();
    ui->labelTime->setText(QDateTime::fromSecsSinceEpoch(begin).toString(QStringLiteral("hh:mm")));
    m_status = info.status.toInt();
    m_beginTime = begin;
    ui->labelEmtey->hide();
    ui->labelClassState->setText(badgeLetter(info));
    if (m_status > 0) {
        m_resourcePaths.clear();
        for (const resourceDetailsInfoEntity &resource : info.resource)
            m_resourcePaths.append(resource.path);
        setSelected(false);
    }
    m_classId = info.class_id;
    qInfo() << "setClassInfo classId:" << m_classId;
}

void ClassListItem::setSelected(bool selected)
{
    if (selected) {
        ui->labelClassState->setStyleSheet(badgeStyleWith("rgba(198, 76, 59, 0.9)"));
    } else if (m_status > 0 && m_status < 3) {
        setStyleSheet(QStringLiteral("color: #2f3244;"));
        ui->labelClassState->setStyleSheet(badgeStyleWith("#bec8c8"));
    } else {
        setStyleSheet(QStringLiteral("color: #999999;"));
        ui->labelClassState->setStyleSheet(badgeStyleWith("#d8d8d8"));
    }
}

void ClassListItem::hideTimeAndState()
{
    ui->labelClassState->hide();
    ui->labelTime->hide();
}

QString ClassListItem::getClassId() const
{
    return m_classId;
}

int ClassListItem::getBeginTime() const
{
    return m_beginTime;
}

QStringList ClassListItem::resourcePaths() const
{
    return m_resourcePaths;
}

QString ClassListItem::badgeText() const
{
    return ui->labelClassState->text();
}

QString ClassListItem::badgeStyle() const
{
    return ui->labelClassState->styleSheet();
}

QString ClassListItem::timeText() const
{
    return ui->labelTime->text();
}
