#include "utility/widget/stylesheetutil.h"

#include "utility/stringutility.h"

#include <QStringList>
#include <QWidget>

namespace {

QString sectionHeader(const QString &selector)
{
    return QStringLiteral("%1\n{\n").arg(selector);
}

QString fieldLine(const StyleSheetField &field)
{
    return QStringLiteral("%1:%2;\n").arg(field.key, field.value);
}

const QString kSectionEnd = QStringLiteral("}\n");

} // namespace

void StyleSheetUtil::changeStyle(QWidget *widget, const QString &selector, const QString &key, const QString &value)
{
    if (!widget) {
        qCritical("empty widget");
        return;
    }

    const QString sheet = widget->styleSheet().trimmed();
    QString newSheet;
    if (sheet.isEmpty()) {
        newSheet = sectionHeader(selector) + fieldLine({ key, value }) + kSectionEnd;
    } else {
        QVector<StyleSheetSection> sections = parse(sheet);
        setField(sections, selector, key, value);
        newSheet = write(sections);
    }
    // A widget that is not polished yet may keep style rules cached from
    // its earlier sheet; polished first, it is repolished with the new one.
    widget->ensurePolished();
    widget->setStyleSheet(newSheet);
}

void StyleSheetUtil::changeStyle(QWidget *widget, const QString &selector, const QString &style)
{
    const QStringList parts = style.trimmed().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        QString key;
        QString value;
        if (!StringUtility::splitPair(part, QStringLiteral(":"), key, value)) {
            qCritical("wrong style:%s", part.toUtf8().constData());
            continue;
        }
        changeStyle(widget, selector, key, value);
    }
}

void StyleSheetUtil::setBackgroundColor(QWidget *widget, const QString &selector, const QString &color)
{
    if (!widget)
        return;
    StyleSheetUtil().changeStyle(widget, selector, QStringLiteral("background-color:%1;").arg(color));
}

void StyleSheetUtil::setBorderImage(QWidget *widget, const QString &selector, const QString &image)
{
    if (!widget)
        return;
    StyleSheetUtil().changeStyle(widget, selector, QStringLiteral("border-image:%1;").arg(image));
}

void StyleSheetUtil::setColor(QWidget *widget, const QString &selector, const QString &color)
{
    if (!widget)
        return;
    StyleSheetUtil().changeStyle(widget, selector, QStringLiteral("color:%1;").arg(color));
}

QVector<StyleSheetSection> StyleSheetUtil::parse(const QString &sheet)
{
    // Every parse starts afresh: a sheet that ended inside a section must
    // not make the next sheet's selector line be read as a field.
    m_state = ExpectSelector;

    QVector<StyleSheetSection> sections;
    StyleSheetSection current;
    const QStringList lines = sheet.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        switch (m_state) {
        case ExpectSelector:
            if (line.isEmpty())
                break;
            current.selector = line;
            current.fields.clear();
            m_state = ExpectOpeningBrace;
            break;
        case ExpectOpeningBrace:
            if (line != QLatin1String("{"))
                qWarning("line taken as opening brace:%s", line.toUtf8().constData());
            m_state = InsideSection;
            break;
        default:
            parseField(line, current, sections);
            break;
        }
    }
    if (m_state != ExpectSelector)
        qWarning("style section not closed:%s", current.selector.toUtf8().constData());
    return sections;
}

void StyleSheetUtil::parseField(const QString &line, StyleSheetSection &section, QVector<StyleSheetSection> &sections)
{
    if (line == QLatin1String("}") || line == QLatin1String("};") || line == QLatin1String("} ;")) {
        sections.append(section);
        m_state = ExpectSelector;
        return;
    }

    QString text = line;
    if (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    StyleSheetField field;
    if (!StringUtility::splitPair(text, QStringLiteral(":"), field.key, field.value)) {
        qCritical("wrong style:%s", line.toUtf8().constData());
        return;
    }
    section.fields.append(field);
}

QString StyleSheetUtil::write(const QVector<StyleSheetSection> &sections)
{
    QString sheet;
    for (const StyleSheetSection &section : sections) {
        sheet += sectionHeader(section.selector);
        for (const StyleSheetField &field : section.fields)
            sheet += fieldLine(field);
        sheet += kSectionEnd;
    }
    return sheet;
}

void StyleSheetUtil::setField(QVector<StyleSheetSection> &sections, const QString &selector,
                              const QString &key, const QString &value)
{
    const QString wantedSelector = selector.toLower();
    for (StyleSheetSection &section : sections) {
        if (section.selector.toLower() != wantedSelector)
            continue;
        const QString wantedKey = key.toLower();
        for (StyleSheetField &field : section.fields) {
            if (field.key.toLower() == wantedKey) {
                field.value = value;
                return;
            }
        }
        section.fields.append({ key, value });
        return;
    }
    sections.append({ selector, { { key, value } } });
}
