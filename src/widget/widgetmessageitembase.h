#ifndef WIDGETMESSAGEITEMBASE_H
#define WIDGETMESSAGEITEMBASE_H

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class NetworkImageReplyHolder;

// What the two chat bubbles share: the text layout, the picture with its
// download, the head picture, the time and the double-click that opens a
// picture enlarged. Texts are always plain: nothing in them is read as
// markup, links or pictures.
class WidgetMessageItemBase : public QWidget
{
    Q_OBJECT

public:
    // A longer text is shown cut (the whole text is still what was sent or
    // received): laying out megabytes in a label would freeze the panel.
    static constexpr int kMaxShownTextChars = 2000;
    static constexpr int kMaxNameChars = 64;
    // A text is measured for its bubble's width by its beginning first.
    static constexpr int kMeasuredLeadChars = 256;
    static constexpr int kPictureWidth = 80;
    static constexpr int kPictureHeight = 88;
    static constexpr int kPictureBubbleHeight = 120;

    explicit WidgetMessageItemBase(QWidget *parent = nullptr);
    ~WidgetMessageItemBase() override;

    // The URL or local file the picture label shows; the downloaded file
    // once a download has finished; empty for a text or a refused address.
    QString pictureSource() const { return m_pictureSource; }

    // text cut to at most maxChars characters, with an ellipsis when cut.
    static QString shownText(const QString &text, int maxChars);

public slots:
    void slot_onStart_getChatPicFilePath();
    void slot_onFinish_getChatPicFilePath();
    void slot_onSuccess_getChatPicFilePath(QString filePath);
    void slot_onFailure_getChatPicFilePath(int errorCode);

protected:
    void setHead(QString url, QLabel *label);
    void setTextMessage(QString text, QLabel *label, int nameHeight);
    // A web address is downloaded and shown when it arrives; anything else
    // is the user's own local file, shown at once.
    void setChatImage(QString source, QLabel *label);
    void setTime(QLabel *label);
    void setName(QString name, QLabel *label);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_pictureSource;
    NetworkImageReplyHolder *m_imageReply = nullptr;
    QPointer<QLabel> m_pictureLabel;
};

#endif // WIDGETMESSAGEITEMBASE_H
