#ifndef BASELISTWIDGETCONTAINER_H
#define BASELISTWIDGETCONTAINER_H

#include "utility/widget/basemainwidget.h"
#include "utility/widget/loadingwidget.h"

#include <QListWidget>
#include <QListWidgetItem>
#include <QVector>

// A material window that shows a list of items, one row widget each, in a
// list widget of its form, and in place of the list a note when there are
// none. The window provides the list and the row widgets; rows are placed
// in order, each sized to its widget.
template<typename T>
class BaseListWidgetContainer : public BaseMainWidget
{
public:
    explicit BaseListWidgetContainer(QWidget *parent = nullptr)
        : BaseMainWidget(parent)
    {
    }

    const QVector<T> &items() const { return m_items; }
    LoadingWidget *loadingWidget() const { return m_loading; }

protected:
    virtual QListWidget *getListWidget() = 0;
    virtual QWidget *createItemWidget(QListWidgetItem *item, const T &value) = 0;
    // Called after each row is placed.
    virtual void onItemWidgetCreated(const T &, QListWidgetItem *, QWidget *) {}

    // The panel that shows noDataText instead of an empty list, in the
    // window's content layout.
    void createLoadingWidget(QVBoxLayout *contentLayout)
    {
        m_loading = new LoadingWidget(contentLayout, this);
        m_loading->setLoadingState(LoadingWidget::StateContent);
    }

    // The rows of values; noDataText when there are none.
    void showItems(const QVector<T> &values, const QString &noDataText)
    {
        setItems(values);
        if (values.isEmpty()) {
            m_loading->setStateText(noDataText, LoadingWidget::StateNoData);
            m_loading->setLoadingState(LoadingWidget::StateNoData);
        } else {
            m_loading->setLoadingState(LoadingWidget::StateContent);
        }
    }

    void setItems(const QVector<T> &values)
    {
        m_items = values;
        QListWidget *list = getListWidget();
        list->clear();
        for (const T &value : values) {
            auto *item = new QListWidgetItem(list);
            placeItemWidget(item, value);
        }
    }

    // Puts a new row widget on an item, replacing the one it had.
    void placeItemWidget(QListWidgetItem *item, const T &value)
    {
        QListWidget *list = getListWidget();
        QWidget *widget = createItemWidget(item, value);
        // The row it replaces may be the one asking: the list deletes it
        // later, not now.
        list->setItemWidget(item, widget);
        item->setSizeHint(widget->size());
        onItemWidgetCreated(value, item, widget);
    }

private:
    QVector<T> m_items;
    LoadingWidget *m_loading = nullptr;
};

#endif // BASELISTWIDGETCONTAINER_H
