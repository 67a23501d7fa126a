#include "widget/textinputbox.h"
#include "ui_textinputbox.h"

#include "biz/whiteboard/drawunit.h"
#include "utility/stringutility.h"
#include "utility/widget/stylesheetutil.h"

#include <QDebug>
#include <QFontMetrics>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Cuts line into pieces of at most room pixels, at character (grapheme)
// boundaries. A piece keeps at least one character even when that one is
// wider than room, so the cutting always ends. breaks receives the offsets
// in line where a new piece starts.
QStringList wrapLine(const QString &line, const QFontMetrics &metrics, int room, QVector<int> &breaks)
{
    QStringList pieces;
    QString piece;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line);
    int start = 0;
    for (int end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        const QString character = line.mid(start, end - start);
        if (!piece.isEmpty() && metrics.horizontalAdvance(piece + character) > room) {
            pieces << piece;
            breaks << start;
            piece.clear();
        }
        piece += character;
        start = end;
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

} // namespace

TextInputBox::TextInputBox(QWidget *parent, const QColor &color, int pointSize, const QString &fontFamily,
                           int fontStyle, int fontWeight)
    : WidgetDragMove(parent)
    , ui(new Ui::TextInputBox)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->textEdit->setContextMenuPolicy(Qt::NoContextMenu);

    StyleSheetUtil().changeStyle(ui->textEdit, QStringLiteral("QTextEdit"), QStringLiteral("color"),
                                 QStringLiteral("rgba(%1, %2, %3, %4)")
                                     .arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha()));

    ui->textEdit->setFont(TextUnit::makeFont(fontFamily, pointSize, fontWeight, fontStyle));
    const QFontMetrics metrics(ui->textEdit->font());
    minTextWidth = 8 * metrics.averageCharWidth();
    ui->textEdit->setFocus();
    resize(minTextWidth + hPadding, vPadding + 2 * metrics.lineSpacing());

    connect(ui->textEdit->document(), &QTextDocument::blockCountChanged, this,
            &TextInputBox::slot_blockCountChanged);
}

TextInputBox::~TextInputBox()
{
    delete ui;
}

void TextInputBox::on_textEdit_textChanged()
{
    // Set only while this handler rewrites the text itself: that run
    // restores the caret and must not wrap again.
    const bool ownRewrite = reformatted;
    if (reformatted) {
        reformatted = false;
        QTextCursor cursor = ui->textEdit->textCursor();
        cursor.setPosition(qBound(0, cursorPos, ui->textEdit->toPlainText().length()));
        ui->textEdit->setTextCursor(cursor);
        qInfo() << "cursorPos:" << cursorPos;
    }

    const QFont font = ui->textEdit->font();
    const QFontMetrics metrics(font);
    QStringList lines = ui->textEdit->toPlainText().split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    lineCount = lines.size();
    int index = 0;
    StringUtility::getLongestLine(font, lines, longestWidth, index);
    const QString longest = lines.at(index);
    const int pixelWidth = metrics.horizontalAdvance(longest);
    qInfo() << "lines:" << lines << QStringLiteral("longestLine:%1 pixelWidth:%2").arg(longest).arg(pixelWidth);

    charCount = 0;
    for (int i = 0; i < index; ++i)
        charCount += lines.at(i).length() + 1;

    const int averageWidth = metrics.averageCharWidth();
    if (!ownRewrite && width() < averageWidth + pixelWidth + hPadding) {
        QVector<int> breaks;
        const QStringList pieces = wrapLine(longest, metrics, width() - averageWidth - hPadding, breaks);
        if (pieces.size() > 1) {
            lines.removeAt(index);
            for (int n = 0; n < pieces.size(); ++n)
                lines.insert(index + n, pieces.at(n));
            const QString text = lines.join(QLatin1Char('\n'));
            qInfo() << "mergeLines text:" << text;

            // The caret keeps its place in the text, moved by the breaks
            // inserted before it.
            const int caret = ui->textEdit->textCursor().position();
            int shift = 0;
            for (int offset : breaks) {
                if (caret > charCount + offset)
                    ++shift;
            }
            cursorPos = qBound(0, caret + shift, text.length());
            lineCount += pieces.size() - 1;
            reformatted = true;
            ui->textEdit->setPlainText(text);
        }
    }

    resize(minTextWidth + pixelWidth + hPadding, metrics.lineSpacing() * (lineCount + 1) + vPadding);
}

void TextInputBox::slot_blockCountChanged(int)
{
}

QRect TextInputBox::getEditRect() const
{
    const QFontMetrics metrics(ui->textEdit->font());
    const QRect rect(pos() + ui->textEdit->pos(), QSize(longestWidth, metrics.lineSpacing() * lineCount));
    qInfo().noquote() << QStringLiteral("EditRect: (%1, %2, %3, %4) lineNum:%5")
                             .arg(rect.left()).arg(rect.top()).arg(rect.right()).arg(rect.bottom()).arg(lineCount);
    return rect;
}

QString TextInputBox::getFontFamily() const
{
    return ui->textEdit->font().family();
}

int TextInputBox::getFontStyle() const
{
    return ui->textEdit->font().style();
}

int TextInputBox::getFontWeight() const
{
    return ui->textEdit->font().weight();
}

QString TextInputBox::getText() const
{
    return ui->textEdit->toPlainText();
}

int TextInputBox::getLineHeight() const
{
    return QFontMetrics(ui->textEdit->font()).lineSpacing() + vPadding;
}

void TextInputBox::mouseIn()
{
    setCursor(Qt::SizeAllCursor);
}

void TextInputBox::mouseOut()
{
    setCursor(Qt::IBeamCursor);
}
