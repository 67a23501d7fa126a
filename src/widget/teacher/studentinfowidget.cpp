#include "studentinfowidget.h"
#include "ui_studentinfowidget.h"

#include "utility/widget/imageutil.h"

#include <QPixmap>
#include <QPointer>

namespace {

const QString kMarked = QStringLiteral("background-color:rgb(240, 100, 80);");
const QString kUnmarked = QStringLiteral("background-color:rgb(255, 255, 255);");

} // namespace

StudentInfoWidget::StudentInfoWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::StudentInfoWidget)
{
    ui->setupUi(this);
}

StudentInfoWidget::~StudentInfoWidget()
{
    delete ui;
}

void StudentInfoWidget::setData(const QString &picturePath, int praiseCount, const QString &name)
{
    // The roster's picture: decoded off the GUI thread at the size shown,
    // its pixel count checked first, like every picture from elsewhere.
    if (!picturePath.isEmpty()) {
        const QPointer<QLabel> label(ui->label_picture);
        ImageUtil::readCoverCropAsync(picturePath, label->width(), label->height(), this,
                                      [label](const QImage &picture) {
                                          if (label && !picture.isNull())
                                              label->setPixmap(QPixmap::fromImage(picture));
                                      });
    }
    ui->label_likenum->setText(QString::number(praiseCount));
    ui->label_name->setText(name);
}

void StudentInfoWidget::setUid(const QString &uid)
{
    m_uid = uid;
}

QString StudentInfoWidget::getUid() const
{
    return m_uid;
}

void StudentInfoWidget::setSelected(bool selected)
{
    ui->label_red->setStyleSheet(selected ? kMarked : kUnmarked);
}

bool StudentInfoWidget::isMarked() const
{
    return ui->label_red->styleSheet() == kMarked;
}

void StudentInfoWidget::setPraiseCount(int count)
{
    ui->label_likenum->setText(QString::number(count));
}

QString StudentInfoWidget::praiseText() const
{
    return ui->label_likenum->text();
}
