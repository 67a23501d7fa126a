#include "mgr/languageinternationalization.h"

#include <QCoreApplication>
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
    QCOMPARE(counter.count, 1);
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

    // The old one was removed and deleted, a new one installed: one of each.
    QVERIFY(first.isNull());
    QVERIFY(language.translator());
    QCOMPARE(counter.count, 2);
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
    QCOMPARE(counter.count, 1);
}

QTEST_GUILESS_MAIN(TestLanguageInternationalization)
#include "tst_languageinternationalization.moc"
