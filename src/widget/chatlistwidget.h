#ifndef CHATLISTWIDGET_H
#define CHATLISTWIDGET_H

#include <QListWidget>
#include <QPersistentModelIndex>
#include <QVector>

// The chat panel's message list: one bubble widget per row, rows only ever
// added at the end. The view's own placing of row widgets visits every row
// at each layout, so each new message would cost more the longer the
// history; here a layout places only the rows added since the last one.
// Everything is placed again when rows go or the list changes size. Row
// widgets outside the viewport stay shown there and are clipped, as the
// view keeps them; scrolling moves them all at once.
class ChatListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit ChatListWidget(QWidget *parent = nullptr);

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void resizeEvent(QResizeEvent *event) override;

protected slots:
    void updateEditorGeometries() override;

private:
    QVector<QPersistentModelIndex> m_added;
    bool m_placeAll = true;
};

#endif // CHATLISTWIDGET_H
