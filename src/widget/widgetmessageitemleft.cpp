#include "widgetmessageitemleft.h"
#include "ui_widgetmessageitemleft.h"

#include "utility/downloadutil.h"

WidgetMessageItemLeft::WidgetMessageItemLeft(QWidget *parent)
    : WidgetMessageItemBase(parent)
    , ui(new Ui::WidgetMessageItemLeft)
{
    ui->setupUi(this);
}

WidgetMessageItemLeft::~WidgetMessageItemLeft()
{
    delete ui;
}

void WidgetMessageItemLeft::bindData(const QString &content, const IMMsgType &type, const QString &headUrl,
                                     const QString &nickname)
{
    if (type == IM_Text) {
        setTextMessage(content, ui->labelMessage, ui->labelName->height());
    } else if (type == IM_Picture) {
        ui->labelMessage->setPixmap(QPixmap(QStringLiteral(":/image/class/defaultImage.png")));
        // The address comes from another participant: only a web address
        // of a sane length is fetched; anything else keeps the default
        // picture and opens nothing.
        if (content.size() <= kMaxUrlChars && DownloadUtil::isWebAddress(content)) {
            setChatImage(content, ui->labelMessage);
            m_localImagePath = DownloadUtil::getImageFilePath(content);
            qInfo("showImageFile:%s", qUtf8Printable(m_localImagePath));
        } else {
            qWarning("picture address refused, default picture kept:%s",
                     qUtf8Printable(shownText(content, kMaxUrlChars)));
            ui->labelMessage->setFixedSize(kPictureWidth, kPictureHeight);
            setFixedHeight(kPictureBubbleHeight);
        }
    } else {
        qWarning("bindData:not recognized message type");
        return;
    }
    setName(nickname, ui->labelName);
    setHead(headUrl, ui->labelHead);
    setTime(ui->labelTime);
}
