#ifndef WIDGETMESSAGEITEMLEFT_H
#define WIDGETMESSAGEITEMLEFT_H

#include "mgr/message/immsgtype.h"
#include "widget/widgetmessageitembase.h"

namespace Ui {
class WidgetMessageItemLeft;
}

// A chat message received from someone else: head picture, name and time
// above a text or a picture.
class WidgetMessageItemLeft : public WidgetMessageItemBase
{
    Q_OBJECT

public:
    // Longer picture addresses are not fetched.
    static constexpr int kMaxUrlChars = 2048;

    explicit WidgetMessageItemLeft(QWidget *parent = nullptr);
    ~WidgetMessageItemLeft() override;

    // content: the text, or the picture's address (only http and https
    // addresses are fetched; any other keeps the default picture).
    void bindData(const QString &content, const IMMsgType &type, const QString &headUrl, const QString &nickname);

    QString localImagePath() const { return m_localImagePath; }

private:
    Ui::WidgetMessageItemLeft *ui;
    QString m_localImagePath;
};

#endif // WIDGETMESSAGEITEMLEFT_H
