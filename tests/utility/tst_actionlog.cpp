#include "utility/actionlog.h"
#include "utility/stringutility.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

namespace {

QStringList records(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    // The file starts with a line break and ends without one.
    if (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    return lines;
}

} // namespace

class TestActionLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void recordFields_data();
    void recordFields();
    void timeCorrectedByServerOffset();
    void initResetsOffset();
    void recordsBetweenCloseAndInitAreDropped();
    void failedInitThenValidInitResumes();
    void errorRecordAlsoGoesToMessageLog();
    void oneRecordIsOneBoundedLine();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestActionLog::init()
{
    m_path = m_dir.filePath(QStringLiteral("%1.action.log").arg(QTest::currentTestFunction()));
    QFile::remove(m_path);
    QVERIFY(ActionLog::instance()->init(m_path));
}

void TestActionLog::cleanup()
{
    ActionLog::instance()->close();
}

void TestActionLog::recordFields_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("kindText");
    QTest::newRow("error") << int(ActionLog::Error) << "error";
    QTest::newRow("normal") << int(ActionLog::Normal) << "normal";
    QTest::newRow("click") << int(ActionLog::Click) << "click";
    QTest::newRow("im") << int(ActionLog::Im) << "im";
}

void TestActionLog::recordFields()
{
    QFETCH(int, kind);
    QFETCH(QString, kindText);
    ActionLog *log = ActionLog::instance();
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    switch (kind) {
    case ActionLog::Error:
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^actionError")));
        log->ErrorInfo(QStringLiteral("app_crash"), QStringLiteral("{code:0}"));
        break;
    case ActionLog::Normal:
        log->NormalInfo(QStringLiteral("app_close"), QStringLiteral("{code:%1}").arg(0));
        break;
    case ActionLog::Click:
        log->ClickInfo(QStringLiteral("click_help"), QStringLiteral("{code:0}"));
        break;
    default:
        log->ImInfo(QStringLiteral("im_receive_RefreshApp"), QStringLiteral("{code:0}"));
        break;
    }
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    const QStringList lines = records(m_path);
    QCOMPARE(lines.size(), 1);
    const QStringList fields = lines.first().split(QLatin1Char(','));
    QCOMPARE(fields.size(), 6);
    QCOMPARE(fields.at(0), kindText);
    QCOMPARE(fields.at(1), QStringLiteral("1"));
    QCOMPARE(fields.at(2), QStringLiteral("1.1.5.1"));
    const qint64 time = fields.at(3).toLongLong();
    QVERIFY(time >= before && time <= after);
    QCOMPARE(fields.at(5), QStringLiteral("{code:0}"));
    QCOMPARE(ActionLog::kindText(7), QString());
}

void TestActionLog::timeCorrectedByServerOffset()
{
    ActionLog *log = ActionLog::instance();
    log->setTimeOffset(-2500);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    log->NormalInfo(QStringLiteral("app_start"), QStringLiteral("{StudentApplication}"));
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    const QStringList fields = records(m_path).value(0).split(QLatin1Char(','));
    const qint64 time = fields.value(3).toLongLong();
    QVERIFY(time >= before - 2500 && time <= after - 2500);
    QCOMPARE(fields.value(4), QStringLiteral("app_start"));
    QCOMPARE(fields.value(5), QStringLiteral("{StudentApplication}"));
}

void TestActionLog::initResetsOffset()
{
    ActionLog *log = ActionLog::instance();
    log->setTimeOffset(123456);
    QVERIFY(log->init(m_path));
    QCOMPARE(log->timeOffset(), qint64(0));
}

void TestActionLog::recordsBetweenCloseAndInitAreDropped()
{
    ActionLog *log = ActionLog::instance();
    log->NormalInfo(QStringLiteral("before_close"), QStringLiteral("{}"));
    log->close();
    log->NormalInfo(QStringLiteral("while_closed"), QStringLiteral("{}"));
    QVERIFY(log->init(m_path));
    log->NormalInfo(QStringLiteral("after_init"), QStringLiteral("{}"));
    const QString text = records(m_path).join(QLatin1Char('\n'));
    QVERIFY(text.contains(QLatin1String("before_close")));
    QVERIFY(!text.contains(QLatin1String("while_closed")));
    QVERIFY(text.contains(QLatin1String("after_init")));
    QCOMPARE(records(m_path).size(), 2);
}

void TestActionLog::failedInitThenValidInitResumes()
{
    ActionLog *log = ActionLog::instance();
    QTest::ignoreMessage(QtCriticalMsg, "Create ActionLog file error.");
    QVERIFY(!log->init(m_dir.filePath(QStringLiteral("missing/folder/x.action.log"))));
    log->NormalInfo(QStringLiteral("lost"), QStringLiteral("{}"));
    QVERIFY(log->init(m_path));
    log->NormalInfo(QStringLiteral("resumed"), QStringLiteral("{}"));
    const QStringList lines = records(m_path);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().contains(QLatin1String(",resumed,{}")));
}

void TestActionLog::errorRecordAlsoGoesToMessageLog()
{
    QTest::ignoreMessage(QtCriticalMsg, "actionError -> actionName:user_login_failure, actionInfo:{code:-333}");
    ActionLog::instance()->ErrorInfo(QStringLiteral("user_login_failure"), QStringLiteral("{code:-333}"));
    QVERIFY(records(m_path).value(0).startsWith(QLatin1String("error,1,1.1.5.1,")));
}

QTEST_GUILESS_MAIN(TestActionLog)

#include "tst_actionlog.moc"

// A received text as a record's information: a line break in it does not
// start a record of its own, and a long one is cut with a marker.
void TestActionLog::oneRecordIsOneBoundedLine()
{
    const QString injected = QStringLiteral("{\"a\":1,\r\n\"b\":2}\nerror,1,1.1.5.1,0,app_crash,{x}");
    const QString line = ActionLog::recordLine(ActionLog::Im, 5, QStringLiteral("im_receive_Text"), injected);
    QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
    QVERIFY(line.endsWith(QStringLiteral(",im_receive_Text,{\"a\":1,  \"b\":2} error,1,1.1.5.1,0,app_crash,{x}")));

    const QString huge(1000000, QLatin1Char('y'));
    ActionLog::instance()->ImInfo(QStringLiteral("im_receive_Text"), huge);
    const QStringList lines = records(m_path);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().size() < StringUtility::kMaxLogRecordChars + 200);
    QVERIFY(lines.first().endsWith(QStringLiteral("y...[cut: 1000000 chars in all]")));
}
