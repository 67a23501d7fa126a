#include "utility/widget/promptmessagewidget.h"
#include "ui_promptmessagewidget.h"

#include "utility/durations.h"

#include <QDebug>
#include <QFontMetrics>
#include <QTimer>

namespace {

const int kMaxLabelTextWidth = 200;
const int kSecond = 1000;

QString withCount(const QString &text, int seconds)
{
    return text + QStringLiteral(" (") + QString::number(seconds) + QStringLiteral(")");
}

} // namespace

promptMessageWidget::promptMessageWidget(const QString &text, QWidget *parent, int seconds, bool showCountdown)
    : QWidget(parent)
    , ui(new Ui::promptMessageWidget)
    , m_parent(parent)
    , m_text(text)
    // A negative time would never fire the closing timer.
    , m_seconds(qMax(0, seconds))
    , m_showCountdown(showCountdown)
{
    ui->setupUi(this);
    // The label's size comes from its style sheet; measure with that font.
    ui->label->ensurePolished();
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    QTimer::singleShot(Durations::ms(m_seconds * kSecond), this, &QWidget::close);

    const QString shown = m_showCountdown ? withCount(m_text, m_seconds) : m_text;
    setLabelText(shown);

    const int textWidth = QFontMetrics(ui->label->font()).horizontalAdvance(shown);
    if (width() < textWidth)
        resize(textWidth + 20, height());

    if (m_showCountdown) {
        QTimer *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &promptMessageWidget::slot_countdown);
        timer->start(Durations::ms(kSecond));
    }
}

promptMessageWidget::~promptMessageWidget()
{
    delete ui;
}

QString promptMessageWidget::shownText() const
{
    return ui->label->text();
}

void promptMessageWidget::slot_countdown()
{
    --m_seconds;
    if (!m_showCountdown || m_seconds < 0)
        return;
    setLabelText(withCount(m_text, m_seconds));
}

void promptMessageWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_parent)
        return;
    const int x = (m_parent->width() - width()) / 2;
    const int y = (m_parent->height() - height()) / 2;
    move(x, y);
    qInfo().noquote() << QStringLiteral("<toastMsg> move to (%1, %2)").arg(x).arg(y);
}

void promptMessageWidget::setLabelText(const QString &text)
{
    const QFontMetrics metrics(ui->label->font());
    ui->label->setText(metrics.elidedText(text, Qt::ElideRight, kMaxLabelTextWidth, Qt::TextShowMnemonic));
}

void showPromptMessage(const QString &text, QWidget *parent, int seconds, bool showCountdown)
{
    promptMessageWidget *toast = new promptMessageWidget(text, parent, seconds, showCountdown);
    toast->setAttribute(Qt::WA_DeleteOnClose);
    toast->show();
}
