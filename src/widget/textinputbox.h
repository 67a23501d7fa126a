#ifndef TEXTINPUTBOX_H
#define TEXTINPUTBOX_H

#include "utility/widget/widgetdragmove.h"

#include <QColor>

namespace Ui {
class TextInputBox;
}

// The editor the whiteboard opens for its text tool. It grows to the right
// with its longest line and down with its lines; once its width is capped
// (at the page's right edge) it breaks the longest line into lines that
// fit. The user can drag it; the board reads text, font and edit rectangle
// back when it commits the box.
class TextInputBox : public WidgetDragMove
{
    Q_OBJECT

public:
    TextInputBox(QWidget *parent, const QColor &color, int pointSize, const QString &fontFamily, int fontStyle,
                 int fontWeight);
    ~TextInputBox() override;

    // The text area in the parent's coordinates: as wide as the longest
    // line and one line spacing high per line.
    QRect getEditRect() const;
    QString getFontFamily() const;
    int getFontStyle() const;
    int getFontWeight() const;
    QString getText() const;
    // Line spacing of the font plus the vertical padding.
    int getLineHeight() const;

public slots:
    void on_textEdit_textChanged();
    void slot_blockCountChanged(int newBlockCount);
    void mouseIn() override;
    void mouseOut() override;

private:
    Ui::TextInputBox *ui;
    int hPadding = 22;
    int vPadding = 22;
    int lineCount = 0;
    int longestWidth = 0;
    int cursorPos = 0;
    bool reformatted = false;
    int minTextWidth = 0;
    // Characters of the text before the longest line, where a wrap inserts
    // its line breaks.
    int charCount = 0;
};

#endif // TEXTINPUTBOX_H
