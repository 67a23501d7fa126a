#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "utility/translatelanguage.h"
#include "widget/loginactions.h"
#include "widget/settingwidget.h"
#include "widget/upgradedialogs.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

// The settings window's check for updates.
class TestSettingWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void manualCheckSaysLatestVersion();
    void checkOfAnotherWindowShowsNothingHere();

private:
    struct Notice
    {
        QWidget *parent = nullptr;
        QString title;
        QString text;
    };

    LessonService m_service;
    QList<Notice> m_notices;
};

void TestSettingWidget::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    Singleton<UpgradeMgr>::instance()->setUi(std::make_unique<UpgradeDialogs>());
    LoginActions::setNoticeHandler([this](QWidget *parent, const QString &title, const QString &text) {
        m_notices.append({ parent, title, text });
    });
}

void TestSettingWidget::cleanupTestCase()
{
    LoginActions::setNoticeHandler(nullptr);
}

void TestSettingWidget::init()
{
    m_notices.clear();
}

void TestSettingWidget::manualCheckSaysLatestVersion()
{
    SettingWidget settings;
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    QSignalSpy noNew(upgrade, &UpgradeMgr::signal_on_no_new_version);
    settings.on_pushButtonChecChecUpgrade_clicked();
    QCOMPARE(upgrade->promptWidget(), &settings);
    QVERIFY(noNew.wait());
    QCOMPARE(m_notices.size(), 1);
    QCOMPARE(m_notices.first().parent, &settings);
    QCOMPARE(m_notices.first().title, Translatelanguage::instance()->getText(QStringLiteral("velmo")));
    QCOMPARE(m_notices.first().text, Translatelanguage::instance()->getText(QStringLiteral("alreadylatestversion")));
    QVERIFY(!m_notices.first().text.isEmpty());
}

void TestSettingWidget::checkOfAnotherWindowShowsNothingHere()
{
    SettingWidget settings;
    QWidget course;
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    upgrade->setPromptWidget(&course);
    QSignalSpy noNew(upgrade, &UpgradeMgr::signal_on_no_new_version);
    upgrade->goCheck();
    QVERIFY(noNew.wait());
    QVERIFY(m_notices.isEmpty());
    upgrade->clearPromptWidget(&course);
}

QTEST_MAIN(TestSettingWidget)
#include "tst_settingwidget.moc"
