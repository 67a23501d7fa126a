// The student client speaks Chinese throughout, whatever the machine's
// locale (the tests run in the C locale): its own texts, the day names of
// its dates, and Qt's own texts on its questions and its file dialog.

#include "mgr/languageinternationalization.h"
#include "utility/translatelanguage.h"
#include "utility/widget/filedialogs.h"
#include "widget/coursedialogs.h"
#include "widget/student/timetableitem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

class TestClientLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void todayNamesItsDayInChinese();
    void questionsHaveChineseButtons();
    void pictureDialogIsChinese();

private:
    // Calls look at the first visible top-level widget of type T from the
    // event loop of the modal window that the test opens next, then lets
    // close end that window.
    template<typename T>
    void whenShown(std::function<void(T *)> look, std::function<void(T *)> close);

    LanguageInternationalization m_language;
};

void TestClientLanguage::initTestCase()
{
    QCOMPARE(QLocale::system().language(), QLocale::C);
    m_language.init();
    QVERIFY(m_language.translator());
    QVERIFY2(m_language.qtTranslator(), "Qt's own Chinese texts (qttranslations5-l10n) did not load");
}

template<typename T>
void TestClientLanguage::whenShown(std::function<void(T *)> look, std::function<void(T *)> close)
{
    auto *poll = new QTimer(this);
    poll->setInterval(10);
    connect(poll, &QTimer::timeout, this, [poll, look, close]() {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<T *>(top);
            if (!window || !window->isVisible())
                continue;
            poll->stop();
            poll->deleteLater();
            look(window);
            close(window);
            return;
        }
    });
    poll->start();
}

void TestClientLanguage::todayNamesItsDayInChinese()
{
    TimetableItem row;
    const QDateTime now = QDateTime::currentDateTime();
    row.setClassInfo(BriefBookedClassEntity{ static_cast<int>(now.toSecsSinceEpoch()), 1 });
    const QString day = QLocale(QLocale::Chinese, QLocale::China).dayName(now.date().dayOfWeek());
    QCOMPARE(row.findChild<QLabel *>(QStringLiteral("labelDay"))->text(), QStringLiteral("今天(") + day + QLatin1Char(')'));
}

void TestClientLanguage::questionsHaveChineseButtons()
{
    QStringList buttons;
    whenShown<QMessageBox>(
        [&buttons](QMessageBox *box) {
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
        },
        [](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
    Translatelanguage *texts = Translatelanguage::instance();
    const QMessageBox::StandardButton answer
        = CourseDialogs::ask(CourseDialogs::Warning, nullptr, texts->getText(QStringLiteral("velmo")),
                             texts->getText(QStringLiteral("suretoleaveclassroom")), QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Yes);
    QCOMPARE(answer, QMessageBox::No);
    buttons.sort();
    QCOMPARE(buttons, QStringList({ QStringLiteral("否(&N)"), QStringLiteral("是(&Y)") }));
}

void TestClientLanguage::pictureDialogIsChinese()
{
    QString accept;
    QStringList filters;
    whenShown<QFileDialog>(
        [&accept, &filters](QFileDialog *dialog) {
            if (auto *box = dialog->findChild<QDialogButtonBox *>())
                accept = box->button(QDialogButtonBox::Open)->text();
            filters = dialog->nameFilters();
        },
        [](QFileDialog *dialog) { dialog->reject(); });
    Translatelanguage *texts = Translatelanguage::instance();
    const QStringList chosen = FileDialogs::getOpenFileNames(nullptr, texts->getText(QStringLiteral("choosepicture")),
                                                             QString(), texts->getText(QStringLiteral("Imagestype")));
    QVERIFY(chosen.isEmpty());
    QCOMPARE(accept, QStringLiteral("打开(&O)"));
    QCOMPARE(filters, QStringList(texts->getText(QStringLiteral("Imagestype"))));
    QVERIFY(filters.first().startsWith(QStringLiteral("图片")));
}

QTEST_MAIN(TestClientLanguage)
#include "tst_clientlanguage.moc"
