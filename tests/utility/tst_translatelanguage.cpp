#include "utility/translatelanguage.h"

#include "testutil.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <QTest>

// Student build: the default language is Chinese.
class TestTranslatelanguage : public QObject
{
    Q_OBJECT

private slots:
    void installedDocumentLoadsOnFirstUse();
    void everyKeyTheCodeAsksForHasBothLanguages();
    void instanceIsSharedAcrossThreads();

    void lookup_data();
    void lookup();
    void missingDocumentGivesEmptyTexts();
    void brokenDocumentLogsOnceAndGivesEmptyTexts();

private:
    struct KeyScan
    {
        QSet<QString> keys;
        // Lookups whose key the scan cannot follow (file: argument).
        QStringList unresolved;
    };
    static KeyScan scanSourcesForKeys();
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

namespace {

// The first argument of the call whose "(" is at open, up to the top-level
// "," or ")"; null when the parentheses do not close.
QString firstArgument(const QString &text, int open)
{
    int depth = 0;
    bool inString = false;
    for (int i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == QLatin1Char('"'))
                inString = false;
            continue;
        }
        if (c == QLatin1Char('"'))
            inString = true;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth == 0)
            return text.mid(open + 1, i - open - 1).trimmed();
        else if (c == QLatin1Char(',') && depth == 1)
            return text.mid(open + 1, i - open - 1).trimmed();
    }
    return QString();
}

QStringList literalsIn(const QString &text)
{
    QStringList result;
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    for (auto it = literal.globalMatch(text); it.hasNext();)
        result << it.next().captured(1);
    return result;
}

} // namespace

// Every lookup of the client's sources: Translatelanguage::getText and the
// small helpers that hand their parameter on to it (a file's own text(),
// a class's text() used by its subclasses). A key held in a variable is
// followed to the literals assigned to it in the same file.
TestTranslatelanguage::KeyScan TestTranslatelanguage::scanSourcesForKeys()
{
    struct Source
    {
        QString path;
        QString text;
    };
    QVector<Source> sources;
    QDirIterator files(QStringLiteral(LESSONRY_SOURCE_DIR "/src"), { QStringLiteral("*.cpp"), QStringLiteral("*.h") },
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            sources.append({ file.fileName(), QString::fromUtf8(file.readAll()) });
    }

    // Helpers: QString [Class::]name(const QString &key | const char *key ...)
    // whose body passes key to getText.
    struct Helper
    {
        QString name;
        QString owner; // the class, or empty for a file's own helper
        QString file;
        QString parameter;
    };
    QVector<Helper> helpers;
    static const QRegularExpression definition(QStringLiteral(
        "\\b(?:QString|int|void|bool)\\s+(?:(\\w+)::)?(\\w+)\\(\\s*(?:const\\s+)?(?:QString\\s*&?|char\\s*\\*)\\s*(\\w+)[^)]*\\)"
        "\\s*(?:const\\s*)?\\{([^}]*)\\}"));
    for (const Source &source : sources) {
        for (auto it = definition.globalMatch(source.text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const QString parameter = match.captured(3);
            if (match.captured(2) != QLatin1String("getText")
                && QRegularExpression(QStringLiteral("getText\\(\\s*(?:QString::fromLatin1\\(|QLatin1String\\()?%1\\b")
                                          .arg(parameter))
                       .match(match.captured(4))
                       .hasMatch())
                helpers.append({ match.captured(2), match.captured(1), source.path, parameter });
        }
    }

    KeyScan scan;
    for (const Source &source : sources) {
        QStringList names { QStringLiteral("getText") };
        QSet<QString> helperParameters;
        for (const Helper &helper : helpers) {
            if (helper.file == source.path || (!helper.owner.isEmpty() && source.text.contains(helper.owner)))
                names << helper.name;
            if (helper.file == source.path)
                helperParameters << helper.parameter;
        }
        const QRegularExpression call(QStringLiteral("(?<![\\w.>])(?:Translatelanguage::instance\\(\\)->|\\w+->)?(%1)\\s*\\(")
                                          .arg(names.join(QLatin1Char('|'))));
        for (auto it = call.globalMatch(source.text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const bool isGetText = match.captured(1) == QLatin1String("getText");
            // Only getText may be reached through an object; the helpers
            // are called plainly (other objects' text() are not lookups).
            if (!isGetText && match.captured(0).contains(QLatin1String("->")))
                continue;
            const QString argument = firstArgument(source.text, match.capturedEnd() - 1);
            static const QRegularExpression declaration(QStringLiteral("^(?:const\\s+)?[\\w:]+(?:\\s+|\\s*[&*]\\s*)\\w+$"));
            if (argument.isEmpty() || declaration.match(argument).hasMatch())
                continue; // no key given (another getText()), or a declaration
            const QStringList literals = literalsIn(argument);
            if (!literals.isEmpty()) {
                for (const QString &key : literals)
                    scan.keys.insert(key);
                continue;
            }
            static const QRegularExpression identifier(
                QStringLiteral("^(?:QString::fromLatin1\\(|QLatin1String\\(|QString::fromUtf8\\()?(\\w+)\\)?$"));
            const QString name = identifier.match(argument).captured(1);
            if (name.isEmpty()) {
                scan.unresolved << QDir(QStringLiteral(LESSONRY_SOURCE_DIR)).relativeFilePath(source.path) + QStringLiteral(": ") + argument;
                continue;
            }
            if (helperParameters.contains(name))
                continue; // inside a helper: its callers are scanned
            const QRegularExpression assignment(QStringLiteral("\\b%1\\s*=\\s*(?:QStringLiteral|QLatin1String)?\\(?\\s*\"([^\"]+)\"").arg(name));
            bool found = false;
            for (auto values = assignment.globalMatch(source.text); values.hasNext(); found = true)
                scan.keys.insert(values.next().captured(1));
            if (!found)
                scan.unresolved << QDir(QStringLiteral(LESSONRY_SOURCE_DIR)).relativeFilePath(source.path) + QStringLiteral(": ") + argument;
        }
    }
    return scan;
}

void TestTranslatelanguage::everyKeyTheCodeAsksForHasBothLanguages()
{
    const KeyScan scan = scanSourcesForKeys();
    QVERIFY2(scan.unresolved.isEmpty(), qPrintable(QStringLiteral("lookups the scan cannot follow:\n")
                                                    + scan.unresolved.join(QLatin1Char('\n'))));
    // The scan finds each way of asking: directly, through a file's
    // helper, a class's helper, a helper with a number, a variable.
    for (const char *known : { "choosepicture", "suretoleaveclassroom", "switchclass", "versiontoupgrade", "minute",
                               "notanyspeakerdevices", "proxyDownloadingMaterial", "Classroom" })
        QVERIFY2(scan.keys.contains(QLatin1String(known)), known);

    Translatelanguage *texts = Translatelanguage::instance();
    texts->init(); // the installed document
    QStringList missing;
    QStringList keys = scan.keys.values();
    keys.sort();
    for (const QString &key : keys) {
        if (texts->getText(key, Translatelanguage::LanguageEnglish).isEmpty())
            missing << key + QStringLiteral(" (en)");
        if (texts->getText(key, Translatelanguage::LanguageChinese).isEmpty())
            missing << key + QStringLiteral(" (cn)");
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("texts missing from languagesdoc.xml: ") + missing.join(QStringLiteral(", "))));
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
