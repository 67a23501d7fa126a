#include "utility/widget/widgettitlebar.h"
#include "ui_widgettitlebar.h"

#include "rolepolicy.h"
#include "utility/webpage.h"
#include "utility/widget/stylesheetutil.h"

#include <QDebug>
#include <QEvent>

namespace {

void setSprite(QWidget *button, const QString &image, const QList<QPair<QString, int>> &states)
{
    StyleSheetUtil util;
    for (const auto &state : states) {
        util.changeStyle(button, state.first, QStringLiteral("border-image"),
                         QStringLiteral("url(%1) 0 0 0 %2 repeat").arg(image).arg(state.second));
    }
}

} // namespace

WidgetTitleBar::WidgetTitleBar(QWidget *window, bool closeWindowOnClose)
    : QWidget(window)
    , ui(new Ui::WidgetTitleBar)
    , m_window(window)
    , m_closeWindowOnClose(closeWindowOnClose)
{
    ui->setupUi(this);
    ui->widgetTitleBar->installEventFilter(this);
    setWindowFlags(Qt::FramelessWindowHint);

    setSprite(ui->pushButtonHelp, RolePolicy::current().titleBarHelpImage,
              { { QStringLiteral("QPushButton"), 0 }, { QStringLiteral("QPushButton:hover"), 80 } });
}

WidgetTitleBar::~WidgetTitleBar()
{
    delete ui;
}

void WidgetTitleBar::on_pushButtonHelp_clicked()
{
    goToHelpCenter(WebPage::helpPageUrl());
}

void WidgetTitleBar::goToHelpCenter(const QString &url)
{
    WebPage::openHelpPage(url);
}

void WidgetTitleBar::on_pushButtonMin_clicked()
{
    if (m_window)
        m_window->showMinimized();
    emit signal_btnMin();
}

void WidgetTitleBar::on_pushButtonMax_clicked()
{
    if (m_window) {
        QString image;
        if (m_window->isMaximized()) {
            m_window->showNormal();
            image = QStringLiteral(":/image/class/btn_max.png");
        } else {
            m_window->showMaximized();
            image = QStringLiteral(":/image/class/btn_remax.png");
        }
        setSprite(ui->pushButtonMax, image,
                  { { QStringLiteral("QPushButton"), 0 },
                    { QStringLiteral("QPushButton:hover"), 20 },
                    { QStringLiteral("QPushButton:pressed"), 40 } });
    }
    emit signal_btnMax();
}

void WidgetTitleBar::on_closePushButton_clicked()
{
    if (m_window && m_closeWindowOnClose)
        m_window->close();
    emit signal_btnClose();
}

bool WidgetTitleBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->widgetTitleBar && event->type() == QEvent::MouseButtonDblClick) {
        qInfo("event->type() == QEvent::MouseButtonDblClick");
        on_pushButtonMax_clicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
