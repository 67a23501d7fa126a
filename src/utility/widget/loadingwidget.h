#ifndef LOADINGWIDGET_H
#define LOADINGWIDGET_H

#include <QWidget>

class QMovie;
class QVBoxLayout;

namespace Ui {
class loadingWidget;
}

// Stands in for a list or page while its data is fetched: a loading
// animation, a "nothing here" page, or a network failure page with a retry
// button. Either shares a layout with the content it covers (content first,
// panel second; one of the two is shown) or stands alone as an overlay.
// The animation runs only while the loading page is on screen, so a panel
// that is not loading does not wake the client.
class LoadingWidget : public QWidget
{
    Q_OBJECT

public:
    enum State {
        StateLoading = 0,
        StateNetworkFailure = 1,
        StateNoData = 2,
        StateContent = 3,
        StateHidden = 4,
    };

    // Adds itself to layout, after the content it covers.
    LoadingWidget(QVBoxLayout *layout, QWidget *parent);
    // A window-modal overlay with no layout of its own.
    explicit LoadingWidget(QWidget *parent);
    ~LoadingWidget() override;

    void setLoadingState(int state);
    int getLoadingState() const;
    // Message of the page of state 0, 1 or 2.
    void setStateText(const QString &text, int state);
    // The animation of the loading page (one at a time).
    void playGif(const QString &fileName);
    void setStyleColor(const QString &textColor, const QString &pageColor, const QString &backgroundColor);

signals:
    void signal_reload();

private slots:
    void on_pushButtonReload_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void init();
    void updateMovie();

    Ui::loadingWidget *ui;
    QVBoxLayout *m_layout;
    int m_state = StateContent;
    QMovie *m_movie = nullptr;
};

#endif // LOADINGWIDGET_H
