#include "widgetwhiteboardteacher.h"

#include "utility/actionlog.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/teacher/widgethelpdeskteacher.h"

#include <QDebug>

WidgetWhiteBoardTeacher::WidgetWhiteBoardTeacher(QWidget *parent)
    : WidgetWhiteBoard(parent)
{
    setHelpdeskVisible(true);
    helpdesk = new WidgetHelpdeskTeacher(this);
    helpdesk->hide();
    connect(helpdesk, &WidgetHelpdeskTeacher::signal_sentHelpdeskMsg, this, [this] { slot_helpdeskSent(); });
}

void WidgetWhiteBoardTeacher::setClassInfo(UserList *roster, const QString &classId)
{
    WidgetWhiteBoard::setClassInfo(roster, classId);
    if (helpdesk)
        helpdesk->setUserList(roster, classId);
}

void WidgetWhiteBoardTeacher::on_btnErase_clicked()
{
    clearPageDrawUnits(curPageIdx);
    update();
    qInfo("clicked erase");
    sendErasureMsg();
}

void WidgetWhiteBoardTeacher::on_btnHelpdesk_clicked()
{
    if (!helpdesk)
        return;
    ActionLog::instance()->ClickInfo(QStringLiteral("click_helpdesk"), QStringLiteral("{}"));
    helpdesk->show();
    helpdesk->raise();
}

void WidgetWhiteBoardTeacher::on_btnNextPage_clicked()
{
    const int page = curPageIdx;
    // Everybody turns only when this board did.
    if (gotoPage(page + 1) && pageCount() >= page + 2)
        sendTurnToPage(page + 2);
    qInfo("clicked next page, pageNum:%d", page + 2);
}

void WidgetWhiteBoardTeacher::on_btnPrePage_clicked()
{
    const int page = curPageIdx;
    if (gotoPage(page - 1) && page > 0)
        sendTurnToPage(page);
    qInfo("clicked pre page, pageNum:%d", page);
}

void WidgetWhiteBoardTeacher::slot_helpdeskSent()
{
    const QString text = QStringLiteral("You have sent helpdesk message to the backend system!");
    qInfo().noquote() << text;
    showPromptMessage(text, this, 2, false);
}
