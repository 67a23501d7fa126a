#include "loginactions.h"

#include <QMessageBox>

namespace {

LoginActions::NoticeHandler &noticeHandler()
{
    static LoginActions::NoticeHandler handler;
    return handler;
}

} // namespace

void LoginActions::showNotice(QWidget *parent, const QString &title, const QString &text)
{
    if (noticeHandler()) {
        noticeHandler()(parent, title, text);
        return;
    }
    QMessageBox::about(parent, title, text);
}

void LoginActions::setNoticeHandler(const NoticeHandler &handler)
{
    noticeHandler() = handler;
}
