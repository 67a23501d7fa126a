#include "widget/widgetcolorpallet.h"
#include "ui_widgetcolorpallet.h"

#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "widget/colorbutton.h"

#include <QDebug>

namespace {

const int kRows = 3;
const int kColumns = 4;

} // namespace

WidgetColorPallet::WidgetColorPallet(QWidget *parent)
    : IWidget(parent)
    , ui(new Ui::WidgetColorPallet)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);

    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int index = kColumns * row + column;
            auto *button = new ColorButton(index, buttonStyle(index, index == 0), g_penColors.at(index));
            button->setSelected(index == 0);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            connect(button, &QPushButton::clicked, this, &WidgetColorPallet::onSelecteColor);
            ui->gridLayout->addWidget(button, row, column);
            buttons.append(button);
        }
    }
}

WidgetColorPallet::~WidgetColorPallet()
{
    delete ui;
}

QString WidgetColorPallet::buttonStyle(int index, bool selected)
{
    // The image strip holds the normal look at its left edge and the
    // selected look 80 pixels in.
    return QStringLiteral("border-image: url(:/image/class/%1) 0 0 0 %2 repeat")
        .arg(g_penImages.at(index))
        .arg(selected ? 80 : 0);
}

void WidgetColorPallet::on_pushButtonClose_clicked()
{
    close();
}

void WidgetColorPallet::onSelecteColor()
{
    auto *clicked = qobject_cast<ColorButton *>(sender());
    if (!clicked)
        return;
    const QColor color = clicked->getColor();
    const auto hex = [](int value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char(' ')); };
    const QString value = hex(color.alpha()) + hex(color.red()) + hex(color.green()) + hex(color.blue());
    ActionLog::instance()->ClickInfo(QStringLiteral("click_select_color"), QStringLiteral("{value:%1}").arg(value));

    clicked->setStyleSheet(buttonStyle(clicked->getIndex(), true));
    clicked->setSelected(true);
    for (ColorButton *button : qAsConst(buttons)) {
        if (button != clicked && button->isSelected()) {
            button->setStyleSheet(buttonStyle(button->getIndex(), false));
            button->setSelected(false);
        }
    }

    emit getColor(color);
    emit signal_getColorIndex(clicked->getIndex());
    hide();
}

void WidgetColorPallet::mouseIn()
{
    qDebug() << "mouseIn";
    setCursor(Qt::ArrowCursor);
}

void WidgetColorPallet::mouseOut()
{
    qDebug() << "mouseOut";
    hide();
}

void WidgetColorPallet::showEvent(QShowEvent *event)
{
    IWidget::showEvent(event);
    qInfo() << "signalColorPalletShowed";
    emit signal_ColorPalletShowed();
}

void WidgetColorPallet::hideEvent(QHideEvent *event)
{
    IWidget::hideEvent(event);
    qInfo() << "signalColorPalletHidden";
    emit signal_ColorPalletHidden();
}
