#ifndef CHATMESSAGELIST_H
#define CHATMESSAGELIST_H

#include <QAbstractScrollArea>
#include <QVector>

// The chat panel's bubbles, oldest at the top, each under the one before
// it at its own height. Adding a bubble at the end or taking the oldest
// away places only that bubble, however long the history is: a list view
// lays every row out again for each new one.
class ChatMessageList : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit ChatMessageList(QWidget *parent = nullptr);
    ~ChatMessageList() override;

    int count() const { return m_bubbles.size() - m_first; }
    QWidget *bubbleAt(int row) const;

    // The parent to make bubbles in: a bubble made elsewhere is styled and
    // laid out all over again when it moves into the list.
    QWidget *bubbleParent() const { return m_content; }
    // Takes the bubble and puts it under the newest one, at the height it
    // has now.
    void appendBubble(QWidget *bubble);
    // Deletes the oldest bubble.
    void removeFirst();
    void scrollToBottom();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Row
    {
        QWidget *bubble;
        int top;
    };

    int historyHeight() const { return m_bottom - m_top; }
    void updateScrollRange();
    void placeContent();
    void moveHistoryToTop();

    // Holds the bubbles at fixed places; scrolling moves it as a whole.
    QWidget *m_content;
    QVector<Row> m_bubbles;
    // The first row still shown (rows before it were taken away).
    int m_first = 0;
    // Content coordinates of the oldest bubble's top and the newest's bottom.
    int m_top = 0;
    int m_bottom = 0;
};

#endif // CHATMESSAGELIST_H
