#include "chatlistwidget.h"

ChatListWidget::ChatListWidget(QWidget *parent)
    : QListWidget(parent)
{
}

void ChatListWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    if (end < start || count() == end - start + 1 || start != count() - (end - start + 1))
        m_placeAll = true; // the first rows, or rows not at the end
    for (int row = start; row <= end && !m_placeAll; ++row)
        m_added.append(QPersistentModelIndex(model()->index(row, 0, parent)));
    QListWidget::rowsInserted(parent, start, end);
}

void ChatListWidget::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_placeAll = true;
    QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

void ChatListWidget::resizeEvent(QResizeEvent *event)
{
    m_placeAll = true;
    QListWidget::resizeEvent(event);
}

void ChatListWidget::updateEditorGeometries()
{
    if (m_placeAll) {
        m_placeAll = false;
        m_added.clear();
        QListWidget::updateEditorGeometries();
        return;
    }
    for (const QPersistentModelIndex &index : qAsConst(m_added)) {
        QWidget *bubble = index.isValid() ? indexWidget(index) : nullptr;
        if (!bubble)
            continue;
        const QRect rect = visualRect(index);
        if (rect.isValid()) {
            bubble->setGeometry(rect);
            bubble->show();
        } else {
            bubble->hide();
        }
    }
    m_added.clear();
}
