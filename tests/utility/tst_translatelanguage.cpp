#include "utility/translatelanguage.h"

#include "testutil.h"

#include <QRegularExpression>
#include <QThread>
#include <QTest>

// Student build: the default language is Chinese.
class TestTranslatelanguage : public QObject
{
    Q_OBJECT

private slots:
    void installedDocumentLoadsOnFirstUse();
    void instanceIsSharedAcrossThreads();

    void lookup_data();
    void lookup();
    void missingDocumentGivesEmptyTexts();
    void brokenDocumentLogsOnceAndGivesEmptyTexts();

private:
    static QString fixture(const QString &name);
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message);

    static QStringList s_messages;
};

QString TestTranslatelanguage::fixture(const QString &name)
{
    return QStringLiteral(LESSONRY_TEST_DATA_DIR "/translatelanguage/") + name;
}

void TestTranslatelanguage::installedDocumentLoadsOnFirstUse()
{
    // The document shipped in the installation folder.
    Translatelanguage *texts = Translatelanguage::instance();
    QVERIFY(texts);
    QCOMPARE(texts->getText("Login", Translatelanguage::LanguageEnglish), QStringLiteral("Login"));
    QCOMPARE(texts->getText("Login"), QStringLiteral("登录"));
    QCOMPARE(texts->getText("minute", Translatelanguage::LanguageEnglish).count("%1"), 1);
}

void TestTranslatelanguage::instanceIsSharedAcrossThreads()
{
    QVector<Translatelanguage *> seen(8, nullptr);
    QVector<QThread *> threads;
    for (int i = 0; i < seen.size(); ++i)
        threads.append(QThread::create([&seen, i]() { seen[i] = Translatelanguage::instance(); }));
    for (QThread *thread : threads)
        thread->start();
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(5000));
        delete thread;
    }
    for (Translatelanguage *object : seen)
        QCOMPARE(object, Translatelanguage::instance());
}

void TestTranslatelanguage::lookup_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");

    QTest::newRow("default is Chinese for a student") << "Login" << 0 << "登录";
    QTest::newRow("English") << "Login" << 1 << "Login";
    QTest::newRow("Chinese") << "Login" << 2 << "登录";
    QTest::newRow("later duplicate wins, en") << "twice" << 1 << "second";
    QTest::newRow("later duplicate wins, cn") << "twice" << 2 << "第二";
    QTest::newRow("English only, asked in Chinese") << "englishOnly" << 2 << "";
    QTest::newRow("English only, asked in English") << "englishOnly" << 1 << "only English";
    QTest::newRow("key is case-sensitive") << "login" << 1 << "lower-case key";
    QTest::newRow("unknown key") << "nothing" << 1 << "";
    QTest::newRow("empty key matches no id-less entry") << "" << 1 << "";
    QTest::newRow("text kept as written") << "spaced" << 1 << "  keep  spaces ";
    QTest::newRow("only direct children of the root") << "nested" << 1 << "";
}

void TestTranslatelanguage::lookup()
{
    QFETCH(QString, key);
    QFETCH(int, type);
    QFETCH(QString, expected);

    Translatelanguage *texts = Translatelanguage::instance();
    QVERIFY(texts->load(fixture("texts.xml")));
    QCOMPARE(texts->getText(key, Translatelanguage::LanguageType(type)), expected);
}

void TestTranslatelanguage::missingDocumentGivesEmptyTexts()
{
    Translatelanguage *texts = Translatelanguage::instance();
    const QString path = fixture("no-such-file.xml");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^文件打开失败: .*no-such-file\\.xml$")));
    QVERIFY(!texts->load(path));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("xml文件加载失败")));
    QCOMPARE(texts->getText("Login", Translatelanguage::LanguageEnglish), QString());
}

void TestTranslatelanguage::brokenDocumentLogsOnceAndGivesEmptyTexts()
{
    Translatelanguage *texts = Translatelanguage::instance();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^parse file failed at line 4,column \\d+,.+")));
    QVERIFY(!texts->load(fixture("broken.xml")));

    // Lookups do not parse again: each logs only the load failure. Even
    // entries before the broken one are not served.
    s_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(&TestTranslatelanguage::collect);
    const QString login = texts->getText("Login", Translatelanguage::LanguageEnglish);
    const QString open = texts->getText("Open", Translatelanguage::LanguageEnglish);
    qInstallMessageHandler(previous);

    QCOMPARE(login, QString());
    QCOMPARE(open, QString());
    QCOMPARE(s_messages, QStringList({ QStringLiteral("xml文件加载失败"), QStringLiteral("xml文件加载失败") }));
}

QStringList TestTranslatelanguage::s_messages;

void TestTranslatelanguage::collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_messages.append(message);
}

QTEST_GUILESS_MAIN(TestTranslatelanguage)
#include "tst_translatelanguage.moc"
