#ifndef TEACHERLOGINWIDGET_H
#define TEACHERLOGINWIDGET_H

#include "widget/baseloginwidget.h"

// The teacher's login window: the shared form relabelled in English for an
// e-mail login, with English error texts and the teacher course window.
class teacherloginwidget : public baseloginwidget
{
    Q_OBJECT

public:
    explicit teacherloginwidget(QWidget *parent = nullptr);

    void initUi() override;
    QString checkInput(const QString &user, const QString &password) override;
    EntityNetworkReplyHolder *requestLogin(const QString &user, const QString &password) override;
    bool parseLoginResult(const QString &response) override;
    void jumpToMainWidget() override;
    void forgotPassword() override;
    void goToHelpCenter() override;
    QString showLoginError(int code) override;
};

#endif // TEACHERLOGINWIDGET_H
