#include "widgetmessageitembase.h"

#include "mgr/http/networkimagereplyholder.h"
#include "utility/downloadutil.h"
#include "utility/widget/imageutil.h"
#include "widget/showchatimage.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTime>

#include <algorithm>

WidgetMessageItemBase::WidgetMessageItemBase(QWidget *parent)
    : QWidget(parent)
{
}

WidgetMessageItemBase::~WidgetMessageItemBase() = default;

QString WidgetMessageItemBase::shownText(const QString &text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    int cut = maxChars;
    // Never split a surrogate pair.
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

void WidgetMessageItemBase::setHead(QString url, QLabel *label)
{
    // Without an address the default head picture stays.
    if (url.isEmpty())
        return;
    DownloadUtil::downloadImage(this, url, label, QStringLiteral("QLabel"), false, QString(), QString());
    qInfo("setHead:%s", qUtf8Printable(url));
}

void WidgetMessageItemBase::setTextMessage(QString text, QLabel *label, int nameHeight)
{
    const QString shown = shownText(text, kMaxShownTextChars);
    // Measured in the font the label shows (its style sheet's), not the
    // default one it has before it is polished: the text would be cut.
    label->ensurePolished();
    label->setTextFormat(Qt::PlainText);
    label->setText(shown);
    const int maxWidth = std::max(label->minimumWidth(), label->maximumWidth());
    // Shaping thousands of characters on one line only to find them wider
    // than the bubble would cost the GUI thread more than the rest of the
    // bubble: a text whose beginning already fills it is not measured on.
    const QFontMetrics metrics = label->fontMetrics();
    const auto measure = [&metrics](const QString &part) { return int(metrics.horizontalAdvance(part) * 1.5 + 5); };
    int measured = measure(shown.left(kMeasuredLeadChars));
    if (measured < maxWidth && shown.size() > kMeasuredLeadChars)
        measured = measure(shown);
    const int width = std::clamp(measured, label->minimumWidth(), maxWidth);
    label->setMinimumWidth(width);
    // The text wraps inside the width it was given.
    const int height = std::max(label->heightForWidth(width), label->fontMetrics().height());
    label->resize(width, height);
    label->setMinimumHeight(height);
    setFixedHeight(nameHeight + height + 33);
}

void WidgetMessageItemBase::setChatImage(QString source, QLabel *label)
{
    if (source.isEmpty())
        return;
    m_pictureLabel = label;
    m_pictureSource = source;
    label->installEventFilter(this);
    label->setFixedSize(kPictureWidth, kPictureHeight);
    setFixedHeight(kPictureBubbleHeight);

    if (!DownloadUtil::isWebAddress(source)) {
        // The user's own picture: decoded from its file off the GUI thread
        // at the size shown, never copied or written beside it; the default
        // picture stands in meanwhile.
        label->setPixmap(QPixmap(QStringLiteral(":/image/class/defaultImage.png")));
        const QPointer<QLabel> target(label);
        ImageUtil::readCoverCropAsync(source, kPictureWidth, kPictureHeight, this, [target, source](const QImage &image) {
            if (image.isNull())
                qWarning("setChatImage: own picture not shown:%s", qUtf8Printable(source));
            else if (target)
                target->setPixmap(QPixmap::fromImage(image));
        });
        return;
    }
    m_imageReply = DownloadUtil::downloadImage(this, source, label, QStringLiteral("QLabel"), true, QString(), QString());
    if (!m_imageReply)
        return;
    connect(m_imageReply, &NetworkImageReplyHolder::signal_onStart, this,
            &WidgetMessageItemBase::slot_onStart_getChatPicFilePath);
    connect(m_imageReply, &NetworkImageReplyHolder::signal_onFinish, this,
            &WidgetMessageItemBase::slot_onFinish_getChatPicFilePath);
    connect(m_imageReply, &NetworkImageReplyHolder::signal_onSuccess, this,
            &WidgetMessageItemBase::slot_onSuccess_getChatPicFilePath);
    connect(m_imageReply, &NetworkImageReplyHolder::signal_onFailure, this,
            &WidgetMessageItemBase::slot_onFailure_getChatPicFilePath);
}

void WidgetMessageItemBase::setTime(QLabel *label)
{
    label->setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
}

void WidgetMessageItemBase::setName(QString name, QLabel *label)
{
    label->setText(shownText(name, kMaxNameChars));
}

void WidgetMessageItemBase::slot_onStart_getChatPicFilePath() {}

void WidgetMessageItemBase::slot_onFinish_getChatPicFilePath() {}

void WidgetMessageItemBase::slot_onFailure_getChatPicFilePath(int errorCode)
{
    // The default picture stays.
    qWarning("chat picture download failed:%d, %s", errorCode, qUtf8Printable(m_pictureSource));
}

void WidgetMessageItemBase::slot_onSuccess_getChatPicFilePath(QString filePath)
{
    qInfo("slot_onSuccess_getChatPicFilePath filePath:%s", qUtf8Printable(filePath));
    if (!m_pictureLabel)
        return;
    // The download put the picture into the label's background unless it
    // was refused (no picture, or too many pixels): then the default stays.
    const QString shown = ImageUtil::croppedImageFilePath(filePath, m_pictureLabel->width(), m_pictureLabel->height());
    if (!m_pictureLabel->styleSheet().contains(shown)) {
        qWarning("chat picture not shown, default kept:%s", qUtf8Printable(filePath));
        return;
    }
    m_pictureLabel->setPixmap(QPixmap());
    m_pictureSource = filePath;
}

bool WidgetMessageItemBase::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pictureLabel && event->type() == QEvent::MouseButtonDblClick) {
        qInfo("showBigImage:%s", qUtf8Printable(m_pictureSource));
        if (!m_pictureSource.isEmpty()) {
            ShowChatImage::instance()->showChatImage(m_pictureSource);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
