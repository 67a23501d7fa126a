#include "widgetcut.h"
#include "ui_widgetcut.h"

#include "utility/appdirs.h"
#include "utility/translatelanguage.h"
#include "utility/widget/filedialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

const int kToolBarWidth = 105;
const int kToolBarImageHeight = 26;

} // namespace

WidgetCut::WidgetCut(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetCut)
{
    ui->setupUi(this);
    setResizable(false);
    setAttribute(Qt::WA_TranslucentBackground);
    // Installed after the frame's filter, so it sees the events first.
    installEventFilter(this);
    connect(ui->btnCancel, &QPushButton::clicked, this, &WidgetCut::slot_close);
    connect(ui->btnSave, &QPushButton::clicked, this, &WidgetCut::slot_Save);
    connect(ui->btnSend, &QPushButton::clicked, this, &WidgetCut::slot_Send);
}

WidgetCut::~WidgetCut()
{
    delete ui;
}

void WidgetCut::setScreenImage(const QImage &screen, const QPoint &origin)
{
    m_screen = screen;
    m_screenOrigin = origin;
}

QRect WidgetCut::windowRectFor(const QRect &selection)
{
    // Never narrower than its tool bar, so a thin selection keeps its buttons.
    return QRect(selection.left(), selection.top() - kLabelHeight, qMax(selection.width(), kToolBarWidth),
                 selection.height() + kLabelHeight + kToolBarHeight);
}

void WidgetCut::setCutSize(int w, int h)
{
    m_cutSize = QSize(qMax(w, 0), qMax(h, 0));
    ui->label->setText(QStringLiteral("%1 * %2").arg(w).arg(h));
    const QRect window = windowRectFor(QRect(QPoint(0, 0), m_cutSize));
    setFixedSize(window.size());
    ui->widget->setGeometry(0, kLabelHeight, m_cutSize.width(), m_cutSize.height());
    ui->widget_2->setGeometry(window.width() - kToolBarWidth, kLabelHeight + m_cutSize.height(), kToolBarWidth,
                              qMin(kToolBarImageHeight, kToolBarHeight));
}

QRect WidgetCut::selectionOnScreen() const
{
    return QRect(pos() + QPoint(0, kLabelHeight), m_cutSize);
}

QImage WidgetCut::cutImage() const
{
    const QRect rect = selectionOnScreen().translated(-m_screenOrigin).intersected(m_screen.rect());
    if (rect.isEmpty())
        return QImage();
    return m_screen.copy(rect);
}

QString WidgetCut::sendFilePath(const QString &folder)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    QString path = QDir(folder).filePath(stamp + QStringLiteral(".png"));
    // Two cuts in one millisecond: the second must not replace the first,
    // which may still be uploading.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(stamp).arg(n));
    return path;
}

void WidgetCut::finish(const QString &filePath)
{
    if (m_ended)
        return;
    m_ended = true;
    emit signal_quit(filePath);
    close();
}

void WidgetCut::slot_Save()
{
    if (m_ended)
        return;
    const QImage cut = cutImage();
    Translatelanguage *texts = Translatelanguage::instance();
    const QString fileName = FileDialogs::getSaveFileName(this, texts->getText(QStringLiteral("Openfile")), QString(),
                                                          texts->getText(QStringLiteral("ConfigFiles")));
    if (!fileName.isEmpty()) {
        qInfo("fileName:%s", qUtf8Printable(fileName));
        if (cut.isNull() || !cut.save(fileName, "PNG"))
            qCritical("screenshot not saved:%s", qUtf8Printable(fileName));
    }
    // A saved cut is the user's own file: nothing is sent.
    finish(QString());
}

void WidgetCut::slot_Send()
{
    if (m_ended)
        return;
    const QImage cut = cutImage();
    if (cut.isNull()) {
        qCritical("screenshot empty, nothing to send");
        finish(QString());
        return;
    }
    const QString path = sendFilePath(getCutImageDir());
    // Only a file that was really written is handed back.
    if (!cut.save(path, "PNG")) {
        qCritical("screenshot not written:%s", qUtf8Printable(path));
        QFile::remove(path);
        finish(QString());
        return;
    }
    finish(path);
}

void WidgetCut::slot_close()
{
    finish(QString());
}

void WidgetCut::moveEvent(QMoveEvent *event)
{
    BaseMainWidget::moveEvent(event);
    const QRect selection = selectionOnScreen();
    emit signal_move(selection.topLeft() - QPoint(0, kLabelHeight),
                     selection.topLeft() + QPoint(selection.width(), selection.height() + kToolBarHeight));
}

bool WidgetCut::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        finish(QString());
        return true;
    }
    return BaseMainWidget::eventFilter(watched, event);
}

void WidgetCut::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        finish(QString());
        return;
    }
    BaseMainWidget::keyReleaseEvent(event);
}
