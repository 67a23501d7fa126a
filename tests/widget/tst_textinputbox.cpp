// The whiteboard's text box: its growth, its wrapping once its width is
// capped (also when not even one character fits) and what the board reads
// back from it.
#include "widget/textinputbox.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const QString kFamily = QStringLiteral("DejaVu Sans");

struct Box
{
    explicit Box(int pointSize = 14, const QColor &color = Qt::red, const QString &family = kFamily)
        : box(new TextInputBox(nullptr, color, pointSize, family, QFont::StyleNormal, QFont::Bold))
        , edit(box->findChild<QTextEdit *>(QStringLiteral("textEdit")))
        , metrics(edit->font())
    {
    }
    ~Box() { delete box; }

    // Room the wrap leaves a line of a box of width w.
    int room() const { return box->width() - metrics.averageCharWidth() - 22; }
    QStringList lines() const { return box->getText().split(QLatin1Char('\n')); }
    int caret() const { return edit->textCursor().position(); }

    TextInputBox *box;
    QTextEdit *edit;
    QFontMetrics metrics;
};

} // namespace

class TestTextInputBox : public QObject
{
    Q_OBJECT

private slots:
    void freshBoxHasRoomForEightCharacters();
    void textColourAndFontFollowTheBoard();
    void growsWithTheLongestLineAndItsLines();
    void wrapsTheLongestLineWhenCapped();
    void wrapKeepsTheCaretWhereTheUserTyped();
    void wrapEndsWhenNoCharacterFits();
    void pastedLongTextWrapsInOnePass();
    void editRectCoversTheText();
    void cursorFollowsTheMouse();
};

void TestTextInputBox::freshBoxHasRoomForEightCharacters()
{
    Box b;
    QVERIFY(b.box->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(b.edit->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(b.box->size(), QSize(8 * b.metrics.averageCharWidth() + 22, 2 * b.metrics.lineSpacing() + 22));
    QCOMPARE(b.box->getLineHeight(), b.metrics.lineSpacing() + 22);
}

void TestTextInputBox::textColourAndFontFollowTheBoard()
{
    Box b(20, QColor(255, 0, 0, 255));
    QVERIFY2(b.edit->styleSheet().contains(QStringLiteral("color:rgba(255, 0, 0, 255)")), qPrintable(b.edit->styleSheet()));
    // The form's own look stays.
    QVERIFY(b.edit->styleSheet().contains(QStringLiteral("border")));
    QCOMPARE(b.box->getFontFamily(), kFamily);
    QCOMPARE(b.box->getFontWeight(), int(QFont::Bold));
    QCOMPARE(b.box->getFontStyle(), int(QFont::StyleNormal));
    QCOMPARE(b.edit->font().pointSize(), 20);

    Box translucent(14, QColor(30, 101, 242, 128), QStringLiteral("微软雅黑"));
    QVERIFY(translucent.edit->styleSheet().contains(QStringLiteral("color:rgba(30, 101, 242, 128)")));
    QCOMPARE(QFontInfo(translucent.edit->font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
}

void TestTextInputBox::growsWithTheLongestLineAndItsLines()
{
    Box b;
    const int minTextWidth = 8 * b.metrics.averageCharWidth();
    QTest::keyClicks(b.edit, QStringLiteral("Hello there"));
    QCOMPARE(b.box->width(), minTextWidth + b.metrics.horizontalAdvance(QStringLiteral("Hello there")) + 22);
    QCOMPARE(b.box->height(), b.metrics.lineSpacing() * 2 + 22);

    QTest::keyClick(b.edit, Qt::Key_Return);
    QCOMPARE(b.box->height(), b.metrics.lineSpacing() * 3 + 22);
    QTest::keyClicks(b.edit, QStringLiteral("Hi"));
    QCOMPARE(b.box->width(), minTextWidth + b.metrics.horizontalAdvance(QStringLiteral("Hello there")) + 22);
    QCOMPARE(b.box->getText(), QStringLiteral("Hello there\nHi"));
}

void TestTextInputBox::wrapsTheLongestLineWhenCapped()
{
    Box b;
    b.box->setMaximumWidth(8 * b.metrics.averageCharWidth() + 22 + 40);
    QTest::keyClicks(b.edit, QStringLiteral("top"));
    QTest::keyClick(b.edit, Qt::Key_Return);
    const QString typed = QStringLiteral("the quick brown fox jumps over the lazy dog");
    QTest::keyClicks(b.edit, typed);

    const QStringList lines = b.lines();
    QVERIFY2(lines.size() > 2, qPrintable(b.box->getText()));
    QCOMPARE(lines.first(), QStringLiteral("top"));
    // Nothing lost, nothing reordered, and every piece fits.
    QCOMPARE(lines.mid(1).join(QString()), typed);
    for (const QString &line : lines.mid(1)) {
        QVERIFY(!line.isEmpty());
        QVERIFY2(b.metrics.horizontalAdvance(line) <= b.room(), qPrintable(line));
    }
    QCOMPARE(b.box->width(), b.box->maximumWidth());
    QCOMPARE(b.caret(), b.box->getText().length());
}

void TestTextInputBox::wrapKeepsTheCaretWhereTheUserTyped()
{
    Box b;
    b.box->setMaximumWidth(8 * b.metrics.averageCharWidth() + 22 + 40);
    const QString typed(30, QLatin1Char('W'));
    QTest::keyClicks(b.edit, typed);
    const QString before = b.box->getText();
    QVERIFY(before.contains(QLatin1Char('\n')));

    QTextCursor cursor = b.edit->textCursor();
    cursor.setPosition(0);
    b.edit->setTextCursor(cursor);
    QTest::keyClicks(b.edit, QStringLiteral("ab"));
    QCOMPARE(b.box->getText().remove(QLatin1Char('\n')), QStringLiteral("ab") + typed);
    // Right after what was typed, not at the end.
    QCOMPARE(b.box->getText().left(b.caret()).remove(QLatin1Char('\n')), QStringLiteral("ab"));
}

void TestTextInputBox::wrapEndsWhenNoCharacterFits()
{
    // A click near the page's right edge leaves a box narrower than one
    // character: each character gets a line of its own, and the box's own
    // rewrite does not wrap again.
    Box b;
    b.box->setMaximumWidth(10);
    QTest::keyClicks(b.edit, QStringLiteral("abc"));
    QCOMPARE(b.box->getText(), QStringLiteral("a\nb\nc"));
    QCOMPARE(b.caret(), 5);
    QTest::keyClick(b.edit, Qt::Key_Home);
    QTest::keyClicks(b.edit, QStringLiteral("x"));
    QCOMPARE(b.box->getText(), QStringLiteral("a\nb\nx\nc"));
    QVERIFY(b.caret() >= 0 && b.caret() <= b.box->getText().length());
    QCOMPARE(b.box->getText().left(b.caret()), QStringLiteral("a\nb\nx"));
    QCOMPARE(b.box->height(), b.metrics.lineSpacing() * 5 + 22);
}

void TestTextInputBox::pastedLongTextWrapsInOnePass()
{
    Box b;
    b.box->setMaximumWidth(10);
    const QString pasted(3000, QLatin1Char('m'));
    b.edit->insertPlainText(pasted);
    const QStringList lines = b.lines();
    QCOMPARE(lines.size(), 3000);
    QCOMPARE(lines.join(QString()), pasted);
    QCOMPARE(b.caret(), b.box->getText().length());

    // Characters made of two UTF-16 units stay whole.
    Box wide;
    wide.box->setMaximumWidth(10);
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x81");
    wide.edit->insertPlainText(emoji);
    QCOMPARE(wide.box->getText(), QString::fromUtf8("\xF0\x9F\x98\x80\n\xF0\x9F\x98\x81"));
}

void TestTextInputBox::editRectCoversTheText()
{
    QWidget board;
    board.resize(600, 400);
    auto *box = new TextInputBox(&board, Qt::black, 14, kFamily, QFont::StyleNormal, QFont::Bold);
    box->move(50, 60);
    auto *edit = box->findChild<QTextEdit *>(QStringLiteral("textEdit"));
    const QFontMetrics metrics(edit->font());
    QTest::keyClicks(edit, QStringLiteral("Hello"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("World, wide"));

    const QRect rect = box->getEditRect();
    QCOMPARE(rect.topLeft(), QPoint(50, 60) + edit->pos());
    QCOMPARE(rect.width(), metrics.horizontalAdvance(QStringLiteral("World, wide")));
    QCOMPARE(rect.height(), 2 * metrics.lineSpacing());

    edit->clear();
    const QRect empty = box->getEditRect();
    QCOMPARE(empty.width(), 0);
    QCOMPARE(empty.height(), metrics.lineSpacing());
}

void TestTextInputBox::cursorFollowsTheMouse()
{
    Box b;
    b.box->mouseIn();
    QCOMPARE(b.box->cursor().shape(), Qt::SizeAllCursor);
    b.box->mouseOut();
    QCOMPARE(b.box->cursor().shape(), Qt::IBeamCursor);
}

QTEST_MAIN(TestTextInputBox)
#include "tst_textinputbox.moc"
