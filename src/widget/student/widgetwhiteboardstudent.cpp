#include "widgetwhiteboardstudent.h"

#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/userinfo.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/student/widgethelpdeskstudent.h"
#include "widget/widgethelpremind.h"

#include <QDebug>
#include <QFile>
#include <QSet>

#include <algorithm>

WidgetWhiteBoardStudent::WidgetWhiteBoardStudent(QWidget *parent)
    : WidgetWhiteBoard(parent)
{
    setHelpdeskVisible(true);
    helpdesk = new WidgetHelpdeskStudent(this);
    helpdesk->hide();
    qRegisterMetaType<QVector<int>>("QVector<int>");
    connect(helpdesk, &WidgetHelpdeskStudent::signal_sentHelpdeskMsg, this,
            [this](QVector<int> issueTypes) { slot_helpdeskSent(issueTypes); });
    loadTips();
}

void WidgetWhiteBoardStudent::loadTips()
{
    selfRescueTips.clear();
    for (int i = 0; i < 3; ++i) {
        const QString path = getAbsoluteFilePath(getResourcesDir(), QStringLiteral("SelfRescue%1.html").arg(i));
        const QString text = readFile(path);
        if (!text.isEmpty())
            selfRescueTips.insert(i, text);
    }
}

void WidgetWhiteBoardStudent::setClassInfo(UserList *roster, const QString &classId)
{
    WidgetWhiteBoard::setClassInfo(roster, classId);
    if (helpdesk)
        helpdesk->setClassId(classId);
}

void WidgetWhiteBoardStudent::on_btnErase_clicked()
{
    removeUserDrawUnits(currentUid(), curPageIdx);
    update();
    qInfo("clicked erase");
    sendErasureMsg();
}

void WidgetWhiteBoardStudent::on_btnHelpdesk_clicked()
{
    if (!helpdesk)
        return;
    if (helpRemind && !helpRemind->isHidden())
        return;
    ActionLog::instance()->ClickInfo(QStringLiteral("click_helpdesk"), QStringLiteral("{}"));
    helpdesk->show();
    helpdesk->raise();
}

void WidgetWhiteBoardStudent::unitReceived(const ImMsgInfo &info, int page)
{
    // The student's board follows the teacher's drawing, not the others'.
    const QString teacher = teacherUid();
    if (!teacher.isEmpty() && info.uid == teacher)
        gotoPage(page);
}

int WidgetWhiteBoardStudent::tipOfIssue(int issueType)
{
    switch (issueType) {
    case 1:
    case 2: return 0;
    case 3: return 2;
    case 4: return 1;
    default: return -1;
    }
}

void WidgetWhiteBoardStudent::slot_helpdeskSent(const QVector<int> &issueTypes)
{
    QSet<int> tipNumbers;
    for (int issue : issueTypes) {
        const int tip = tipOfIssue(issue);
        if (tip >= 0)
            tipNumbers.insert(tip);
    }
    qInfo() << "issueTypes:" << issueTypes;
    if (tipNumbers.isEmpty()) {
        showPromptMessage(QStringLiteral("您已成功发送信息，感谢您的反馈!"), this, 2, false);
        return;
    }
    QList<int> sorted = tipNumbers.values();
    std::sort(sorted.begin(), sorted.end());
    qInfo() << "listTypes:" << sorted;
    QString text;
    for (int tip : qAsConst(sorted))
        text += selfRescueTips.value(tip);
    if (!helpRemind)
        helpRemind = new WidgetHelpRemind(this);
    helpRemind->setRemindText(text);
    helpRemind->show();
    helpRemind->raise();
    qInfo().noquote() << "self rescue Info:" + text;
}

QString WidgetWhiteBoardStudent::readFile(const QString &path)
{
    qInfo().noquote() << QStringLiteral("start read %1 file.").arg(path);
    QFile file(path);
    if (!file.exists()) {
        qCritical().noquote() << QStringLiteral("The file %1 is not exist.").arg(path);
        return QString();
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCritical().noquote() << QStringLiteral("read %1 file error.").arg(path);
        return QString();
    }
    // The whole file: a tip is never cut short by a byte.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCritical("reading occurs error.");
        return QString();
    }
    const int zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero >= 0 ? bytes.left(zero) : bytes);
}
