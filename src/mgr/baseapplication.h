#ifndef BASEAPPLICATION_H
#define BASEAPPLICATION_H

#include <QString>

#include <memory>

class baseloginwidget;
class ServerConfig;

// Start-up of one pass of the main loop: creates and initialises the shared
// services in a fixed order, opens the login window of the role, reads the
// start argument and records the start in the action log.
class BaseApplication
{
public:
    BaseApplication() = default;
    virtual ~BaseApplication() = default;

    // The application object of the built-in role (getClientRole()).
    static std::unique_ptr<BaseApplication> createForRole();

    virtual void start(int argc, char *argv[]);

    void showLoginWidget(int argc, char *argv[]);

    // The start-up notice for a servers file with problems, in the language
    // of the user interface: what will fail (for the given server
    // environment, see getServerEnvironment()), then each problem. Empty
    // when nothing the client uses is affected.
    static QString serverSettingsNotice(const ServerConfig &config, int serverEnvironment);

protected:
    virtual void initManagers();
    // A new login window without parent.
    virtual baseloginwidget *createLoginWidget() = 0;

private:
    // A servers file that is missing, unreadable or incomplete is logged
    // and shown to the user; start-up then goes on, and calls to a server
    // that is not configured fail with their own errors.
    void checkServerSettings();

    BaseApplication(const BaseApplication &) = delete;
    BaseApplication &operator=(const BaseApplication &) = delete;
};

#endif // BASEAPPLICATION_H
