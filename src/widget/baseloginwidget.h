#ifndef BASELOGINWIDGET_H
#define BASELOGINWIDGET_H

#include "mgr/http/entitynetworkreplyholder.h"
#include "utility/widget/basemainwidget.h"
#include "utility/widget/stylesheetutil.h"

#include <QRect>
#include <QString>

class QTimer;

namespace Ui {
class studentloginwidget;
}

// The login window of both roles on the one shared form: input check,
// request, waiting page, answer handling and error line, the saved login
// and the automatic login. The role windows supply the request, the answer
// parsing, their texts and the help and forgot-password actions.
class baseloginwidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit baseloginwidget(QWidget *parent = nullptr);
    ~baseloginwidget() override;

    virtual void initUi();
    // Error text for the input, empty when it may be sent.
    virtual QString checkInput(const QString &user, const QString &password);
    virtual EntityNetworkReplyHolder *requestLogin(const QString &user, const QString &password) = 0;
    // True when the answer was taken over into the current user.
    virtual bool parseLoginResult(const QString &response) = 0;
    virtual void jumpToMainWidget();
    virtual void forgotPassword() = 0;
    virtual void goToHelpCenter() = 0;
    // Shows the text for code on the error line and returns it.
    virtual QString showLoginError(int code);

    // Whether a saved auto-login choice may start a login in readLoginInfo().
    void setShouldAutoLogin(bool value);
    bool shouldAutoLogin() const;

    void readLoginInfo();
    void writeLoginInfo();

    void setLoadingText(const QString &text);
    QString loadingText() const;

    // Shows the error line with text, or hides it when text is empty. A
    // text longer than the line widens it within the window, so no part of
    // it (the error code at its end) is cut off.
    void setErrorText(const QString &text);

public slots:
    void on_btnLogin_clicked();
    void slot_edit_returnPressed();
    void slot_onWebLoginStart();
    void slot_onWebLoginFinish();
    void slot_onWebLoginSuccess(QString response);
    void slot_onWebLoginFailure(BaseEntity baseEntity);
    void slot_onWebLoginAbort();
    void slot_textChanged_editMobile(QString text);
    void slot_textChanged_editPassword(QString text);
    void on_closePushButton_clicked();
    void on_chkAutoLogin_stateChanged(int state);
    void onLoadingTimerTimeout();
    void on_closePushButtonLoading_clicked();
    void on_btnCancelLogin_clicked();
    void on_btnForgot_clicked();
    void on_chkRememberPassword_stateChanged(int state);
    void on_settingNetLink_clicked();
    void on_pushButtonHelp_clicked();

protected:
    void onLoginFinished();
    void updateLoginButton();

    Ui::studentloginwidget *ui = nullptr;

private:
    EntityNetworkReplyHolder *m_reply = nullptr;
    StyleSheetUtil m_styleSheetUtil;
    int m_dotCount = 0;
    QTimer *m_loadingTimer = nullptr;
    bool m_shouldAutoLogin = true;
    QString m_loadingText;
    // Where the form puts the error line; setErrorText() widens it from here.
    QRect m_errorLineGeometry;
};

#endif // BASELOGINWIDGET_H
