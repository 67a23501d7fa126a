#ifndef STYLESHEETUTIL_H
#define STYLESHEETUTIL_H

#include <QString>
#include <QVector>

class QWidget;

struct StyleSheetField
{
    QString key;
    QString value;
};

struct StyleSheetSection
{
    QString selector;
    QVector<StyleSheetField> fields;
};

// Changes single properties of a widget's style sheet. The sheet is read
// and written in one fixed layout:
//
//     selector
//     {
//     key:value;
//     }
//
// so a sheet edited once stays editable. Hand-written sheets are only
// understood when they already follow that layout; lines that do not fit
// are logged and dropped from the rewritten sheet.
class StyleSheetUtil
{
public:
    // Sets key to value in the section of selector (matched ignoring case),
    // adding the section or the key when missing.
    void changeStyle(QWidget *widget, const QString &selector, const QString &key, const QString &value);
    // Applies "key:value;key:value" pairs one after the other.
    void changeStyle(QWidget *widget, const QString &selector, const QString &style);

    static void setBackgroundColor(QWidget *widget, const QString &selector, const QString &color);
    static void setBorderImage(QWidget *widget, const QString &selector, const QString &image);
    static void setColor(QWidget *widget, const QString &selector, const QString &color);

    // Sections of a sheet in the fixed layout, in text order. A section not
    // closed by the end of the text is left out.
    QVector<StyleSheetSection> parse(const QString &sheet);
    // One line inside a section: a closing brace appends section to
    // sections, anything else is read as key:value.
    void parseField(const QString &line, StyleSheetSection &section, QVector<StyleSheetSection> &sections);

    static QString write(const QVector<StyleSheetSection> &sections);
    static void setField(QVector<StyleSheetSection> &sections, const QString &selector,
                         const QString &key, const QString &value);

private:
    enum ParseState {
        ExpectSelector = 0,
        ExpectOpeningBrace = 1,
        InsideSection = 2,
    };

    int m_state = ExpectSelector;
};

#endif // STYLESHEETUTIL_H
