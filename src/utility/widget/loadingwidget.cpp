#include "utility/widget/loadingwidget.h"
#include "ui_loadingwidget.h"

#include "utility/widget/stylesheetutil.h"

#include <QMovie>
#include <QVBoxLayout>

LoadingWidget::LoadingWidget(QVBoxLayout *layout, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::loadingWidget)
    , m_layout(layout)
{
    init();
}

LoadingWidget::LoadingWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::loadingWidget)
    , m_layout(nullptr)
{
    init();
    setWindowModality(Qt::WindowModal);
}

LoadingWidget::~LoadingWidget()
{
    delete ui;
}

void LoadingWidget::init()
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    playGif(QStringLiteral(":/image/class/classLoading.gif"));
    setStyleColor(QStringLiteral("#646464"), QStringLiteral("rgba(255, 255, 255, 0)"),
                  QStringLiteral("rgba(255, 255, 255, 0)"));
    if (m_layout)
        m_layout->addWidget(this);
    setLoadingState(StateContent);
}

void LoadingWidget::setLoadingState(int state)
{
    m_state = state;
    // Any other value keeps the pages as they are.
    if (state >= StateLoading && state <= StateHidden) {
        ui->widgetLoading->setVisible(state == StateLoading);
        ui->widgetLoadingFailure->setVisible(state == StateNetworkFailure);
        ui->widgetNoData->setVisible(state == StateNoData);
    }

    const bool showContent = state == StateContent || state == StateHidden;
    if (m_layout && m_layout->count() > 1) {
        QWidget *content = m_layout->itemAt(0)->widget();
        QWidget *panel = m_layout->itemAt(1)->widget();
        if (content)
            content->setVisible(showContent);
        if (panel)
            panel->setVisible(!showContent);
    } else {
        setVisible(!showContent);
    }
    updateMovie();
}

int LoadingWidget::getLoadingState() const
{
    return m_state;
}

void LoadingWidget::setStateText(const QString &text, int state)
{
    switch (state) {
    case StateLoading:
        ui->labelLoadingNum->setText(text);
        break;
    case StateNetworkFailure:
        ui->labelLoadingFailure->setText(text);
        break;
    case StateNoData:
        ui->labelLoadingNoData->setText(text);
        break;
    default:
        break;
    }
}

void LoadingWidget::playGif(const QString &fileName)
{
    delete m_movie;
    m_movie = new QMovie(fileName, QByteArray(), this);
    ui->labelClassLoading->setMovie(m_movie);
    // The first frame is shown even before it runs.
    m_movie->jumpToFrame(0);
    updateMovie();
}

void LoadingWidget::updateMovie()
{
    if (!m_movie)
        return;
    const bool shown = m_state == StateLoading && ui->widgetLoading->isVisible();
    if (shown && m_movie->state() != QMovie::Running)
        m_movie->start();
    else if (!shown && m_movie->state() != QMovie::NotRunning)
        m_movie->stop();
}

void LoadingWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateMovie();
}

void LoadingWidget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    updateMovie();
}

void LoadingWidget::setStyleColor(const QString &textColor, const QString &pageColor, const QString &backgroundColor)
{
    StyleSheetUtil util;
    util.changeStyle(ui->labelLoadingNum, QStringLiteral("QLabel"), QStringLiteral("color"), textColor);
    util.changeStyle(ui->labelLoadingFailure, QStringLiteral("QLabel"), QStringLiteral("color"), textColor);
    util.changeStyle(ui->labelLoadingNoData, QStringLiteral("QLabel"), QStringLiteral("color"), textColor);
    util.changeStyle(ui->widgetLoading, QStringLiteral("QWidget"), QStringLiteral("background-color:%1").arg(pageColor));
    util.changeStyle(ui->widgetLoadingFailure, QStringLiteral("QWidget"), QStringLiteral("background-color:%1").arg(pageColor));
    util.changeStyle(ui->widgetNoData, QStringLiteral("QWidget"), QStringLiteral("background-color: %1").arg(pageColor));
    util.changeStyle(ui->widget, QStringLiteral("QWidget"), QStringLiteral("background-color: %1").arg(backgroundColor));
}

void LoadingWidget::on_pushButtonReload_clicked()
{
    emit signal_reload();
}
