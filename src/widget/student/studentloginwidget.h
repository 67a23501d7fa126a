#ifndef STUDENTLOGINWIDGET_H
#define STUDENTLOGINWIDGET_H

#include "widget/baseloginwidget.h"

// The student's login window: phone number and password, the student
// login call, and the student course window on success.
class studentloginwidget : public baseloginwidget
{
    Q_OBJECT

public:
    explicit studentloginwidget(QWidget *parent = nullptr);

    void initUi() override;
    EntityNetworkReplyHolder *requestLogin(const QString &user, const QString &password) override;
    bool parseLoginResult(const QString &response) override;
    void forgotPassword() override;
    void goToHelpCenter() override;
};

#endif // STUDENTLOGINWIDGET_H
