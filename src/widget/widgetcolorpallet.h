#ifndef WIDGETCOLORPALLET_H
#define WIDGETCOLORPALLET_H

#include "utility/widget/iwidget.h"

#include <QColor>
#include <QVector>

namespace Ui {
class WidgetColorPallet;
}

class ColorButton;

// The pop-up in which the user picks the whiteboard pen colour out of the
// twelve palette colours. It hides itself after a choice and as soon as the
// pointer leaves it.
class WidgetColorPallet : public IWidget
{
    Q_OBJECT

public:
    explicit WidgetColorPallet(QWidget *parent);
    ~WidgetColorPallet() override;

signals:
    void getColor(QColor color);
    void signal_getColorIndex(int index);
    void signal_ColorPalletShowed();
    void signal_ColorPalletHidden();

public slots:
    void on_pushButtonClose_clicked();
    void onSelecteColor();
    void mouseIn() override;
    void mouseOut() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static QString buttonStyle(int index, bool selected);

    Ui::WidgetColorPallet *ui;
    QVector<ColorButton *> buttons;
};

#endif // WIDGETCOLORPALLET_H
