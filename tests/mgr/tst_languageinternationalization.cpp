#include "mgr/languageinternationalization.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <QTest>

// Installing or removing a translator sends LanguageChange to the
// application: counting those shows what init() really did.
class LanguageChangeCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::LanguageChange)
            ++count;
        return false;
    }
};

class TestLanguageInternationalization : public QObject
{
    Q_OBJECT

private slots:
    void studentInstallsCatalogue();
    void initAgainReplacesTranslator();
    void destructionRemovesTranslator();
};

void TestLanguageInternationalization::studentInstallsCatalogue()
{
    LanguageChangeCounter counter;
    qApp->installEventFilter(&counter);
    LanguageInternationalization language;
    QVERIFY(!language.translator());

    language.init();
    qApp->removeEventFilter(&counter);

    QVERIFY(language.translator());
    QCOMPARE(language.translator()->parent(), &language);
    // Qt's own texts in the same language, beside our catalogue.
    QVERIFY(language.qtTranslator());
    QCOMPARE(language.qtTranslator()->parent(), &language);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("是(&Y)"));
    QCOMPARE(counter.count, 2);
    // Dates in the client's language, not the machine's.
    QCOMPARE(QLocale().language(), QLocale::Chinese);
    QCOMPARE(QLocale().toString(QDate(2026, 12, 11), QStringLiteral("dddd")), QStringLiteral("星期五"));
}

void TestLanguageInternationalization::initAgainReplacesTranslator()
{
    LanguageInternationalization language;
    language.init();
    QPointer<QTranslator> first = language.translator();
    QVERIFY(first);

    LanguageChangeCounter counter;
    qApp->installEventFilter(&counter);
    language.init();
    qApp->removeEventFilter(&counter);

    // The old ones were removed and deleted, new ones installed: one of
    // each for both catalogues.
    QVERIFY(first.isNull());
    QVERIFY(language.translator());
    QCOMPARE(counter.count, 4);
}

void TestLanguageInternationalization::destructionRemovesTranslator()
{
    LanguageChangeCounter counter;
    {
        LanguageInternationalization language;
        language.init();
        qApp->installEventFilter(&counter);
    }
    qApp->removeEventFilter(&counter);
    QCOMPARE(counter.count, 2);
}

QTEST_GUILESS_MAIN(TestLanguageInternationalization)
#include "tst_languageinternationalization.moc"
