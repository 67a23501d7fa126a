#include "mgr/languageinternationalization.h"
#include "utility/translatelanguage.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTest>

// Teacher build: forms keep their English source texts, the text lookup
// defaults to English, and so do dates and Qt's own texts.
class TestLanguageInternationalizationTeacher : public QObject
{
    Q_OBJECT

private slots:
    void installsNoTranslator();
    void lookupDefaultsToEnglish();
};

void TestLanguageInternationalizationTeacher::installsNoTranslator()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); // a machine set to Chinese, say
    LanguageInternationalization language;
    language.init();
    QVERIFY(!language.translator());
    QVERIFY(!language.qtTranslator());
    language.init();
    QVERIFY(!language.translator());
    QVERIFY(!language.qtTranslator());
    QCOMPARE(QLocale().language(), QLocale::English);
    QCOMPARE(QLocale().toString(QDate(2026, 12, 11), QStringLiteral("dddd")), QStringLiteral("Friday"));
}

void TestLanguageInternationalizationTeacher::lookupDefaultsToEnglish()
{
    Translatelanguage *texts = Translatelanguage::instance();
    QVERIFY(texts->load(QStringLiteral(LESSONRY_TEST_DATA_DIR "/translatelanguage/texts.xml")));
    QCOMPARE(texts->getText("Login"), QStringLiteral("Login"));
    QCOMPARE(texts->getText("twice"), QStringLiteral("second"));
    QCOMPARE(texts->getText("Login", Translatelanguage::LanguageChinese), QStringLiteral("登录"));
}

QTEST_GUILESS_MAIN(TestLanguageInternationalizationTeacher)
#include "tst_languageinternationalization_teacher.moc"
