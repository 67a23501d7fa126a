#ifndef BASEAPPLICATION_H
#define BASEAPPLICATION_H

class baseloginwidget;

// Start-up of one pass of the main loop: creates and initialises the shared
// services in a fixed order, opens the login window of the role, reads the
// start argument and records the start in the action log.
class BaseApplication
{
public:
    BaseApplication() = default;
    virtual ~BaseApplication() = default;

    virtual void start(int argc, char *argv[]);

    void showLoginWidget(int argc, char *argv[]);

protected:
    virtual void initManagers();
    // A new login window without parent.
    virtual baseloginwidget *createLoginWidget() = 0;

private:
    BaseApplication(const BaseApplication &) = delete;
    BaseApplication &operator=(const BaseApplication &) = delete;
};

#endif // BASEAPPLICATION_H
