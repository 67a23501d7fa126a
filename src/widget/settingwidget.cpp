#include "settingwidget.h"

#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "utility/translatelanguage.h"
#include "widget/loginactions.h"

SettingWidget::SettingWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
    setObjectName(QStringLiteral("SettingWidget"));
    resize(600, 400);
    connect(Singleton<UpgradeMgr>::instance(), &UpgradeMgr::signal_on_no_new_version, this,
            &SettingWidget::slot_on_no_new_version);
}

SettingWidget::~SettingWidget()
{
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    if (upgrade->promptWidget() == this)
        upgrade->clearPromptWidget(this);
}

void SettingWidget::on_pushButtonChecChecUpgrade_clicked()
{
    qInfo("manually check updates");
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    upgrade->setPromptWidget(this);
    upgrade->goCheck();
}

void SettingWidget::slot_on_no_new_version()
{
    if (Singleton<UpgradeMgr>::instance()->promptWidget() != this)
        return;
    const Translatelanguage *texts = Translatelanguage::instance();
    LoginActions::showNotice(this, texts->getText(QStringLiteral("velmo")),
                             texts->getText(QStringLiteral("alreadylatestversion")));
}
