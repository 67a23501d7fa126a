#include "widgetreview.h"
#include "ui_widgetreview.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "utility/actionlog.h"
#include "utility/widget/promptmessagewidget.h"
#include "utility/widget/stylesheetutil.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPushButton>

#include <cstdlib>

namespace {

const int kStarCount = 5;
const int kToastSeconds = 2;

} // namespace

WidgetReview::WidgetReview(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetReview)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::Tool);
    // The card's rounded corners show what lies behind the window.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setFixedSize(416, 380);
    initStarts();
}

WidgetReview::~WidgetReview()
{
    delete ui;
}

void WidgetReview::setClassId(const QString &classId)
{
    m_classId = classId;
}

void WidgetReview::initStarts()
{
    qInfo("initStarts");
    StyleSheetUtil style;
    for (int i = 0; i < kStarCount; ++i) {
        auto *star = new QPushButton(this);
        star->setObjectName(QStringLiteral("star%1").arg(i + 1));
        // The stars are pictures only: a screen reader says which one.
        star->setAccessibleName(tr("Star %1").arg(i + 1));
        star->setFixedSize(22, 21);
        star->setCheckable(true);
        star->setCursor(Qt::PointingHandCursor);
        style.changeStyle(star, QStringLiteral("QPushButton"), QStringLiteral("border-image"),
                          QStringLiteral("url(:/image/review/review_start_unselected.png)"));
        style.changeStyle(star, QStringLiteral("QPushButton:checked"), QStringLiteral("border-image"),
                          QStringLiteral("url(:/image/review/review_start_seleted.png)"));
        star->installEventFilter(this);
        ui->layoutStars->addWidget(star);
        m_stars.append(star);
    }
}

bool WidgetReview::eventFilter(QObject *watched, QEvent *event)
{
    const int index = m_stars.indexOf(qobject_cast<QPushButton *>(watched));
    if (index < 0)
        return BaseMainWidget::eventFilter(watched, event);
    // Only a left release chooses; presses and clicks never reach the
    // button's own toggling, so a star's state is always the score's.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        selectScore(index + 1);
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // The space key would toggle a single star by itself.
        return true;
    default:
        return false;
    }
}

void WidgetReview::selectScore(int score)
{
    m_score = score;
    qInfo() << "<ClassReview> select score:" << score;
    for (int i = 0; i < m_stars.size(); ++i)
        m_stars.at(i)->setChecked(i < score);
}

void WidgetReview::on_btnSubmit_clicked()
{
    if (m_score == 0) {
        showPromptMessage(QStringLiteral("请点击星星进行评分！"), this, kToastSeconds, false);
        return;
    }
    // One review per lesson: a second press while the first is saved would
    // store it twice.
    if (isSaving()) {
        qInfo("<ClassReview> on_btnSubmit_clicked while saving, ignored");
        return;
    }
    const QString comment = ui->textEdit->toPlainText();
    qInfo("<ClassReview> on_btnSubmit_clicked");
    ActionLog::instance()->ClickInfo(QStringLiteral("click_review_submit"),
                                     QStringLiteral("{score:%1,comment:%2}").arg(m_score).arg(comment));
    EntityNetworkReplyHolder *reply = StudentApis::saveComment(this, m_classId, m_score, comment);
    m_saveReply = reply;
    connect(reply, &EntityNetworkReplyHolder::signal_onSuccess, this, &WidgetReview::slot_onSuccess_saveComment);
    connect(reply, &EntityNetworkReplyHolder::signal_onFailure, this, &WidgetReview::slot_onFailure_saveComment);
}

void WidgetReview::slot_onSuccess_saveComment(QString response)
{
    m_saveReply.clear();
    qInfo().noquote() << "<ClassReview> slot_onSuccess_saveComment, response:" << response.left(1024);
    close();
}

QString WidgetReview::failureText(int errorCode)
{
    switch (std::abs(errorCode)) {
    case 7:
    case 8:
    case 99:
        return QStringLiteral("网络错误，请检查网络!");
    default:
        return QStringLiteral("评论发送失败，请重新提交！");
    }
}

void WidgetReview::slot_onFailure_saveComment(BaseEntity baseEntity)
{
    m_saveReply.clear();
    qInfo() << "<ClassReview> slot_onFailure_saveComment, errCode:" << baseEntity.errorCode;
    showPromptMessage(failureText(baseEntity.errorCode), nullptr, kToastSeconds, false);
}

void WidgetReview::on_btnClose_clicked()
{
    qInfo("<ClassReview> on_btnClose_clicked");
    close();
}
