#ifndef COLORBUTTON_H
#define COLORBUTTON_H

#include <QColor>
#include <QPushButton>

// One colour of the pen colour palette: its index in the palette, its
// colour and whether it is the palette's current choice.
class ColorButton : public QPushButton
{
    Q_OBJECT

public:
    ColorButton(int index, QString styleSheet, const QColor &color);

    QColor getColor() const { return color; }
    int getIndex() const { return index; }
    void setSelected(bool selected) { this->selected = selected; }
    bool isSelected() const { return selected; }

private:
    int index;
    QColor color;
    bool selected = false;
};

#endif // COLORBUTTON_H
