#ifndef PRIZEMODEL_H
#define PRIZEMODEL_H

#include "widget/widgetclassmode.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QTimer>

class ModelWidgetVideo;
class PrizeModelAnimation;
class QPainter;
class UserList;
class WidgetVideoItem;

// Base of the award-mode page of both roles. The page keeps tiles of its
// own, separate from the class page's, wraps each student's tile in an
// award tile and flies prizes onto them; behind the tiles a backdrop with
// a slowly turning light is drawn while the page is on screen.
class PrizeModel : public WidgetClassMode
{
    Q_OBJECT

public:
    // The light turns at the same pace whatever the frame rate.
    static constexpr int kLightFrameMs = 33;
    static constexpr int kLightDegreesPerSecond = 180;
    // A message awarding more students than this is not a real class's.
    static constexpr int kMaxAwardedStudents = 100;

    explicit PrizeModel(QWidget *parent = nullptr);
    ~PrizeModel() override;

    void enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles) override;
    void exitMode() override;
    void destoryMode() override;
    bool setVideoItemAttached(const QString &uid, bool attach) override;
    WidgetVideoItemList *getVideoItemList() override;
    virtual void CreateVideo(const UserList &list) = 0;
    virtual void updateUserTile(const QString &uid) = 0;

    // The big picture of a prize beside the program; empty outside 1 to 6.
    static QString prizePicture(int prizeId);
    // How far below the tile's mapped point a prize comes to rest.
    static int prizeRestOffset(int prizeId);

    // The classroom's roster and class id, as enterMode takes them.
    void setClassInfo(UserList *roster, const QString &classId);

    const QList<ModelWidgetVideo *> &awardTiles() const { return m_awardTiles; }
    ModelWidgetVideo *awardTile(const QString &uid) const;
    PrizeModelAnimation *prizeAnimation(const QString &uid) const;
    QString getClassId() const { return classId; }
    bool isLightTurning() const { return m_lightTimer.isActive(); }
    int lightAngle() const;
    // The part of the page a turn of the light repaints: the square round
    // its centre that holds every coloured pixel of the light at any angle,
    // within the prize area; empty without a light or an area.
    QRect lightBounds() const;

public slots:
    void slot_onChannelUserJoined(const QString &uid) override;
    void slot_onChannelUserLeaved(const QString &uid) override;

protected:
    // The widget that holds the award tiles, their prize layers and the
    // backdrop; the light turns round centreX * width, centreY * height.
    void setPrizeArea(QWidget *area, const QPointF &lightCentre);
    QWidget *prizeArea() const { return m_area; }
    // Builds the page's own tiles for the roster and hands each one whose
    // video attaches to the role's page, the teacher's and the students'.
    void buildTiles(const UserList &list);
    virtual void placeTeacherTile(WidgetVideoItem *tile) = 0;
    virtual void placeStudentTile(WidgetVideoItem *tile, bool inChannel) = 0;
    // Wraps a video tile in a new award tile inside the prize area.
    ModelWidgetVideo *wrapInAwardTile(WidgetVideoItem *tile);
    // Flies (or, without animate, puts) the prize onto the tile; false
    // while the student's previous prize is still flying.
    bool showPrize(ModelWidgetVideo *tile, int prizeId, bool animate);
    // The start point's height relative to the tile's mapped point.
    virtual int prizeStartYOffset() const = 0;
    // Puts every student's last award back on the tile, without flight
    // (on every show and after every resize).
    void restoreLastAwards();
    // Stores prizeId as the user's last award in the roster.
    void storeLastAward(const QString &uid, int prizeId);

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    QString classId;
    WidgetVideoItemList *videoItemList = nullptr;

private:
    QPoint mappedTilePoint(ModelWidgetVideo *tile) const;
    QPointF lightCentre(const QRect &area) const;
    void turnLight();

    QList<ModelWidgetVideo *> m_awardTiles;
    QList<PrizeModelAnimation *> m_animations;
    QWidget *m_area = nullptr;
    QPointF m_lightCentre { 0.5, 0.5 };
    QPixmap m_light; // at the size it is drawn, half the picture's
    // How far from the light's centre its farthest coloured pixel reaches.
    double m_lightReach = 0;
    QImage m_background;
    QPixmap m_scaledBackground;
    QTimer m_lightTimer;
    QElapsedTimer m_lightClock;
};

#endif // PRIZEMODEL_H
