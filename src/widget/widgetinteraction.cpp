#include "widgetinteraction.h"

#include "utility/widget/stylesheetutil.h"

#include <QDebug>
#include <QStringList>

WidgetInteraction::WidgetInteraction(QWidget *parent)
    : QWidget(parent)
{
}

QString WidgetInteraction::colorImage(const QStringList &names, int idx)
{
    if (idx < 0 || idx >= names.size()) {
        qWarning("colour index %d is not a palette colour; the colour button stays as it is", idx);
        return QString();
    }
    return names.at(idx);
}

void WidgetInteraction::applyChatIcon(QWidget *chatButton, bool hasNewMsg)
{
    const QString path = hasNewMsg ? QStringLiteral(":/image/class/icon_chat_new_msg.png")
                                   : QStringLiteral(":/image/class/icon_chat_default.png");
    StyleSheetUtil().changeStyle(chatButton, QStringLiteral("QPushButton"), QStringLiteral("border-image"),
                                QStringLiteral("url(%1) 0 0 0 0 repeat").arg(path));
    StyleSheetUtil().changeStyle(chatButton, QStringLiteral("QPushButton:hover"), QStringLiteral("border-image"),
                                QStringLiteral("url(%1) 0 0 0 46 repeat").arg(path));
    StyleSheetUtil().changeStyle(chatButton, QStringLiteral("QPushButton:pressed"), QStringLiteral("border-image"),
                                QStringLiteral("url(%1) 0 0 0 92 repeat").arg(path));
}
