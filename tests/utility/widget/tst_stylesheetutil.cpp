#include "utility/widget/stylesheetutil.h"

#include <QLabel>
#include <QTest>

namespace {

int s_messages = 0;

void countMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
    ++s_messages;
}

} // namespace

class TestStyleSheetUtil : public QObject
{
    Q_OBJECT

private slots:
    void changeStyle_data();
    void changeStyle();
    void changeStyleKeepsCaseOfStoredSelectorAndKey();
    void editedSheetStaysEditable();
    void severalPairs_data();
    void severalPairs();
    void textWithoutColonChangesNothing();
    void unclosedSheetDoesNotLeakIntoNextParse();
    void nullWidget();
    void setters();
};

void TestStyleSheetUtil::changeStyle_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty sheet")
        << QString() << "QPushButton" << "color" << "#ffffff"
        << "QPushButton\n{\ncolor:#ffffff;\n}\n";
    QTest::newRow("blank sheet")
        << "  \n\t\n" << "QPushButton" << "color" << "#ffffff"
        << "QPushButton\n{\ncolor:#ffffff;\n}\n";
    QTest::newRow("new selector appended after the others")
        << "QLabel\n{\ncolor:red;\n}\nQLabel:hover\n{\ncolor:blue;\n}\n" << "QPushButton" << "color" << "#ffffff"
        << "QLabel\n{\ncolor:red;\n}\nQLabel:hover\n{\ncolor:blue;\n}\nQPushButton\n{\ncolor:#ffffff;\n}\n";
    QTest::newRow("new key appended after the section's keys")
        << "QLabel\n{\ncolor:red;\nfont-size:12px;\n}\nQPushButton\n{\nborder:none;\n}\n" << "QLabel" << "border" << "1px solid #cccccc"
        << "QLabel\n{\ncolor:red;\nfont-size:12px;\nborder:1px solid #cccccc;\n}\nQPushButton\n{\nborder:none;\n}\n";
    QTest::newRow("existing key replaced in place")
        << "QLabel\n{\ncolor:red;\nfont-size:12px;\n}\nQPushButton\n{\ncolor:red;\n}\n" << "QLabel" << "color" << "#646464"
        << "QLabel\n{\ncolor:#646464;\nfont-size:12px;\n}\nQPushButton\n{\ncolor:red;\n}\n";
    QTest::newRow("first matching section only")
        << "QLabel\n{\ncolor:red;\n}\nQLabel\n{\ncolor:green;\n}\n" << "QLabel" << "color" << "blue"
        << "QLabel\n{\ncolor:blue;\n}\nQLabel\n{\ncolor:green;\n}\n";
    QTest::newRow("form layout with tabs and spaces is normalised")
        << "QWidget\n{\n\tbackground-color: rgb(70, 68, 68);\n}" << "QWidget" << "background-color" << "#ffffff"
        << "QWidget\n{\nbackground-color:#ffffff;\n}\n";
    QTest::newRow("value keeps colons after the first")
        << "QLabel\n{\nborder-image:url(:/image/a.png);\n}\n" << "QLabel" << "color" << "red"
        << "QLabel\n{\nborder-image:url(:/image/a.png);\ncolor:red;\n}\n";
    QTest::newRow("closing brace variants")
        << "A\n{\nx:1;\n};\nB\n{\ny:2;\n} ;\n" << "B" << "y" << "3"
        << "A\n{\nx:1;\n}\nB\n{\ny:3;\n}\n";
    QTest::newRow("line without colon dropped")
        << "QLabel\n{\ncolor:red;\nnonsense\n}\n" << "QLabel" << "color" << "blue"
        << "QLabel\n{\ncolor:blue;\n}\n";
    QTest::newRow("one-line sheet is one unclosed selector line")
        << "QLabel{color:red;font-size:12px;}" << "QLabel" << "color" << "blue"
        << "QLabel\n{\ncolor:blue;\n}\n";
    QTest::newRow("selector ending with brace swallows the next line")
        << "QLabel{\ncolor:red;\nfont-size:12px;\n}\n" << "QLabel{" << "border" << "none"
        << "QLabel{\n{\nfont-size:12px;\nborder:none;\n}\n";
}

void TestStyleSheetUtil::changeStyle()
{
    QFETCH(QString, sheet);
    QFETCH(QString, selector);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    QLabel label;
    label.setStyleSheet(sheet);
    StyleSheetUtil().changeStyle(&label, selector, key, value);
    QCOMPARE(label.styleSheet(), expected);
}

void TestStyleSheetUtil::changeStyleKeepsCaseOfStoredSelectorAndKey()
{
    QLabel label;
    label.setStyleSheet(QStringLiteral("qpushbutton\n{\ncolor:#000000;\n}\n"));
    StyleSheetUtil().changeStyle(&label, QStringLiteral("QPushButton"), QStringLiteral("Color"), QStringLiteral("#ffffff"));
    QCOMPARE(label.styleSheet(), QStringLiteral("qpushbutton\n{\ncolor:#ffffff;\n}\n"));
}

void TestStyleSheetUtil::editedSheetStaysEditable()
{
    QLabel label;
    StyleSheetUtil util;
    util.changeStyle(&label, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("red"));
    util.changeStyle(&label, QStringLiteral("QLabel:hover"), QStringLiteral("color"), QStringLiteral("blue"));
    util.changeStyle(&label, QStringLiteral("QLabel"), QStringLiteral("font-size"), QStringLiteral("12px"));
    util.changeStyle(&label, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("green"));
    QCOMPARE(label.styleSheet(),
             QStringLiteral("QLabel\n{\ncolor:green;\nfont-size:12px;\n}\nQLabel:hover\n{\ncolor:blue;\n}\n"));
}

void TestStyleSheetUtil::severalPairs_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two pairs and an empty part")
        << "color:red;;border:none" << "QLabel\n{\nfont-size:12px;\ncolor:red;\nborder:none;\n}\n";
    QTest::newRow("spaces around keys and values")
        << "  color : red ; border-image: url(:/image/class/logo.png); "
        << "QLabel\n{\nfont-size:12px;\ncolor:red;\nborder-image:url(:/image/class/logo.png);\n}\n";
    QTest::newRow("later pair wins for the same key")
        << "color:red;color:blue;" << "QLabel\n{\nfont-size:12px;\ncolor:blue;\n}\n";
}

void TestStyleSheetUtil::severalPairs()
{
    QFETCH(QString, style);
    QFETCH(QString, expected);

    QLabel label;
    label.setStyleSheet(QStringLiteral("QLabel\n{\nfont-size:12px;\n}\n"));
    StyleSheetUtil().changeStyle(&label, QStringLiteral("QLabel"), style);
    QCOMPARE(label.styleSheet(), expected);
}

void TestStyleSheetUtil::textWithoutColonChangesNothing()
{
    const QString sheet = QStringLiteral("QLabel\n{\nfont-size:12px;\n}\n");
    QLabel label;
    label.setStyleSheet(sheet);
    QTest::ignoreMessage(QtCriticalMsg, "style:no colon here doesn't contain : sign");
    QTest::ignoreMessage(QtCriticalMsg, "wrong style:no colon here");
    StyleSheetUtil().changeStyle(&label, QStringLiteral("QLabel"), QStringLiteral("no colon here"));
    QCOMPARE(label.styleSheet(), sheet);
}

void TestStyleSheetUtil::unclosedSheetDoesNotLeakIntoNextParse()
{
    // One object edits two widgets; the first sheet ends inside a section.
    StyleSheetUtil util;
    QLabel broken;
    broken.setStyleSheet(QStringLiteral("QLabel\n{\ncolor:red;\n"));
    util.changeStyle(&broken, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("blue"));
    QCOMPARE(broken.styleSheet(), QStringLiteral("QLabel\n{\ncolor:blue;\n}\n"));

    QLabel label;
    label.setStyleSheet(QStringLiteral("QLabel\n{\nfont-size:12px;\n}\nQLabel:hover\n{\ncolor:red;\n}\n"));
    util.changeStyle(&label, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("blue"));
    QCOMPARE(label.styleSheet(),
             QStringLiteral("QLabel\n{\nfont-size:12px;\ncolor:blue;\n}\nQLabel:hover\n{\ncolor:red;\n}\n"));

    // The same holds for parse() called directly.
    util.parse(QStringLiteral("A\n{\nx:1;\n"));
    const QVector<StyleSheetSection> sections = util.parse(QStringLiteral("B\n{\ny:2;\n}\n"));
    QCOMPARE(sections.size(), 1);
    QCOMPARE(sections.first().selector, QStringLiteral("B"));
    QCOMPARE(sections.first().fields.size(), 1);
    QCOMPARE(sections.first().fields.first().key, QStringLiteral("y"));
}

void TestStyleSheetUtil::nullWidget()
{
    QTest::ignoreMessage(QtCriticalMsg, "empty widget");
    StyleSheetUtil().changeStyle(nullptr, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("red"));

    // The setters ignore a null widget without a word.
    s_messages = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countMessage);
    StyleSheetUtil::setBackgroundColor(nullptr, QStringLiteral("QLabel"), QStringLiteral("#ffffff"));
    StyleSheetUtil::setColor(nullptr, QStringLiteral("QLabel"), QStringLiteral("#ffffff"));
    StyleSheetUtil::setBorderImage(nullptr, QStringLiteral("QLabel"), QStringLiteral("none"));
    qInstallMessageHandler(previous);
    QCOMPARE(s_messages, 0);
}

void TestStyleSheetUtil::setters()
{
    QLabel label;
    label.setStyleSheet(QStringLiteral("QLabel\n{\nfont-size:12px;\n}\n"));
    StyleSheetUtil::setBackgroundColor(&label, QStringLiteral("QLabel"), QStringLiteral("#ffffff"));
    StyleSheetUtil::setColor(&label, QStringLiteral("QLabel"), QStringLiteral("rgb(70, 68, 68)"));
    StyleSheetUtil::setBorderImage(&label, QStringLiteral("QLabel:hover"), QStringLiteral("url(:/image/class/logo.png)"));
    QCOMPARE(label.styleSheet(),
             QStringLiteral("QLabel\n{\nfont-size:12px;\nbackground-color:#ffffff;\ncolor:rgb(70, 68, 68);\n}\n"
                            "QLabel:hover\n{\nborder-image:url(:/image/class/logo.png);\n}\n"));
}

QTEST_MAIN(TestStyleSheetUtil)
#include "tst_stylesheetutil.moc"
