#include "chatmessagelist.h"

#include <QResizeEvent>
#include <QScrollBar>

namespace {

// Taking old bubbles away leaves room above the first one; the bubbles are
// moved up to the top once that room grows past this, well before a
// widget's coordinates run out.
const int kMaxRoomAbove = 1 << 20;

} // namespace

ChatMessageList::ChatMessageList(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_content(new QWidget(viewport()))
{
    m_content->setObjectName(QStringLiteral("chatMessageContent"));
    m_content->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(20);
    updateScrollRange();
}

ChatMessageList::~ChatMessageList() = default;

QWidget *ChatMessageList::bubbleAt(int row) const
{
    if (row < 0 || row >= count())
        return nullptr;
    return m_bubbles.at(m_first + row).bubble;
}

void ChatMessageList::appendBubble(QWidget *bubble)
{
    const int height = bubble->height();
    if (bubble->parentWidget() != m_content)
        bubble->setParent(m_content);
    bubble->setGeometry(0, m_bottom, m_content->width(), height);
    m_bubbles.append({ bubble, m_bottom });
    m_bottom += height;
    m_content->resize(viewport()->width(), m_bottom);
    bubble->show();
    updateScrollRange();
}

void ChatMessageList::removeFirst()
{
    if (m_first >= m_bubbles.size())
        return;
    Row &row = m_bubbles[m_first];
    delete row.bubble;
    row.bubble = nullptr;
    ++m_first;
    m_top = m_first < m_bubbles.size() ? m_bubbles.at(m_first).top : m_bottom;
    // The rows taken away are forgotten in one go now and then, so taking
    // one away stays cheap.
    if (m_first > m_bubbles.size() / 2) {
        m_bubbles.remove(0, m_first);
        m_first = 0;
    }
    if (m_top > kMaxRoomAbove)
        moveHistoryToTop();
    updateScrollRange();
}

void ChatMessageList::moveHistoryToTop()
{
    const int shift = m_top;
    for (int i = m_first; i < m_bubbles.size(); ++i) {
        Row &row = m_bubbles[i];
        row.top -= shift;
        row.bubble->move(0, row.top);
    }
    m_top = 0;
    m_bottom -= shift;
    m_content->resize(viewport()->width(), m_bottom);
}

void ChatMessageList::scrollToBottom()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ChatMessageList::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, qMax(0, historyHeight() - viewport()->height()));
    placeContent();
}

void ChatMessageList::placeContent()
{
    m_content->move(0, -(m_top + verticalScrollBar()->value()));
}

void ChatMessageList::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int width = viewport()->width();
    if (width != m_content->width()) {
        m_content->resize(width, m_bottom);
        for (int i = m_first; i < m_bubbles.size(); ++i)
            m_bubbles.at(i).bubble->resize(width, m_bubbles.at(i).bubble->height());
    }
    updateScrollRange();
}

void ChatMessageList::scrollContentsBy(int, int)
{
    placeContent();
}
