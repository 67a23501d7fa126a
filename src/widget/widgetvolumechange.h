#ifndef WIDGETVOLUMECHANGE_H
#define WIDGETVOLUMECHANGE_H

#include <QWidget>

// The speaking level behind a tile's microphone button: a white column
// that fills with dark from the bottom as the level rises. It paints only
// at its designed size of 34 x 34.
class WidgetVolumeChange : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetVolumeChange(QWidget *parent = nullptr);

    // level 0-255; values outside are held to the range.
    void setLevel(int level);
    int level() const { return m_level; }
    // Height in pixels of the dark part for a level.
    static int darkHeight(int level);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_level = 0;
};

#endif // WIDGETVOLUMECHANGE_H
