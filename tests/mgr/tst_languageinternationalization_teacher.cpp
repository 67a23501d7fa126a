#include "mgr/languageinternationalization.h"
#include "utility/translatelanguage.h"

#include <QCoreApplication>
#include <QTest>

// Teacher build: forms keep their English source texts and the text lookup
// defaults to English.
class TestLanguageInternationalizationTeacher : public QObject
{
    Q_OBJECT

private slots:
    void installsNoTranslator();
    void lookupDefaultsToEnglish();
};

void TestLanguageInternationalizationTeacher::installsNoTranslator()
{
    LanguageInternationalization language;
    language.init();
    QVERIFY(!language.translator());
    language.init();
    QVERIFY(!language.translator());
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
