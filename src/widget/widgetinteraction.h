#ifndef WIDGETINTERACTION_H
#define WIDGETINTERACTION_H

#include <QWidget>

// The drawing tool bar beside the whiteboard, one per role. The classroom
// and the whiteboard set its buttons through this base without knowing the
// role; each slot calls the virtual operation of the same name, so a
// connection made against the base reaches the role's code.
class WidgetInteraction : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetInteraction(QWidget *parent = nullptr);

    virtual void setChatNewMsgIcon(bool hasNewMsg) = 0;

public slots:
    virtual void slot_setClickedTextBtn(bool bChecked) = 0;
    virtual void slot_setClickedPenBtn(bool bChecked) = 0;
    virtual void slot_setClickedChatBnt(bool bChecked) = 0;
    virtual void slot_setEnablePenBtn(bool bEnable) = 0;
    virtual void slot_setEnableTextBtn(bool bEnable) = 0;
    virtual void slot_setColorBtnImg(int idx) = 0;

protected:
    // The image of colour idx out of names; empty, with a warning, for an
    // index the palette does not have.
    static QString colorImage(const QStringList &names, int idx);
    // The new-message look of a chat button.
    static void applyChatIcon(QWidget *chatButton, bool hasNewMsg);
};

#endif // WIDGETINTERACTION_H
