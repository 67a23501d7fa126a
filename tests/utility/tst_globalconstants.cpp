#include "utility/globalconstants.h"

#include <QTest>

class TestGlobalConstants : public QObject
{
    Q_OBJECT

private slots:
    void paletteListsRunInParallel();
    void paletteEntry_data();
    void paletteEntry();
    void flowerLists();
    void texts();
};

void TestGlobalConstants::paletteListsRunInParallel()
{
    QCOMPARE(g_penColors.size(), 12);
    QCOMPARE(g_penButtonImages.size(), 12);
    QCOMPARE(g_penImages.size(), 12);
    QCOMPARE(g_penSecondButtonImages.size(), 12);
    for (const QColor &color : g_penColors)
        QCOMPARE(color.alpha(), 255);
}

void TestGlobalConstants::paletteEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("pen");
    QTest::addColumn<QString>("secondButton");

    QTest::newRow("first") << 0 << "#f54330" << "btnRed.png" << "red.png" << "btnRed_t.png";
    QTest::newRow("pink") << 8 << "#fa8cbe" << "btnPink.png" << "pink.png" << "btnPink_t.png";
    QTest::newRow("last") << 11 << "#ffffff" << "btnWhite.png" << "white.png" << "btnWhite_t.png";
}

void TestGlobalConstants::paletteEntry()
{
    QFETCH(int, index);
    QFETCH(QString, color);
    QFETCH(QString, button);
    QFETCH(QString, pen);
    QFETCH(QString, secondButton);

    QCOMPARE(g_penColors.at(index).name(), color);
    QCOMPARE(g_penButtonImages.at(index), button);
    QCOMPARE(g_penImages.at(index), pen);
    QCOMPARE(g_penSecondButtonImages.at(index), secondButton);
}

void TestGlobalConstants::flowerLists()
{
    QCOMPARE(g_shortFlowerList.size(), 7);
    QCOMPARE(g_longFlowerList.size(), 14);
    for (int i = 0; i < g_longFlowerList.size(); ++i) {
        const FlowerImage &flower = g_longFlowerList.at(i);
        QCOMPARE(flower.path, QStringLiteral(":/image/class/flower%1.png").arg(i + 1));
        QVERIFY(flower.width > 0 && flower.height > 0);
        if (i < g_shortFlowerList.size()) {
            QCOMPARE(g_shortFlowerList.at(i).path, flower.path);
            QCOMPARE(g_shortFlowerList.at(i).width, flower.width);
            QCOMPARE(g_shortFlowerList.at(i).height, flower.height);
        }
    }
}

void TestGlobalConstants::texts()
{
    QCOMPARE(g_downloadTempSuffix, QStringLiteral(".zumixo"));
    QCOMPARE(g_loginInfoKey, QStringLiteral("login/info"));
    QVERIFY(g_supervisionClassId.isEmpty());
    QVERIFY(g_supervisionToken.isEmpty());
}

QTEST_GUILESS_MAIN(TestGlobalConstants)
#include "tst_globalconstants.moc"
