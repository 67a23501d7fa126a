#include "globalconstants.h"

const QVector<QColor> g_penColors = {
    QColor(0xF5, 0x43, 0x30), QColor(0xBE, 0x46, 0x14), QColor(0xFF, 0x78, 0x12),
    QColor(0xFF, 0xDE, 0x16), QColor(0xBE, 0x6E, 0xE6), QColor(0x1E, 0x65, 0xF2),
    QColor(0x1E, 0xDA, 0xB4), QColor(0x67, 0xE8, 0x1F), QColor(0xFA, 0x8C, 0xBE),
    QColor(0x00, 0x00, 0x00), QColor(0x77, 0x77, 0x77), QColor(0xFF, 0xFF, 0xFF),
};

const QStringList g_penButtonImages = {
    QStringLiteral("btnRed.png"), QStringLiteral("btnBrown.png"), QStringLiteral("btnOrange.png"),
    QStringLiteral("btnYellow.png"), QStringLiteral("btnPurple.png"), QStringLiteral("btnBlue.png"),
    QStringLiteral("btnCyan.png"), QStringLiteral("btnLime.png"), QStringLiteral("btnPink.png"),
    QStringLiteral("btnBlack.png"), QStringLiteral("btnGray.png"), QStringLiteral("btnWhite.png"),
};

const QStringList g_penImages = {
    QStringLiteral("red.png"), QStringLiteral("brown.png"), QStringLiteral("orange.png"),
    QStringLiteral("yellow.png"), QStringLiteral("purple.png"), QStringLiteral("blue.png"),
    QStringLiteral("cyan.png"), QStringLiteral("lime.png"), QStringLiteral("pink.png"),
    QStringLiteral("black.png"), QStringLiteral("gray.png"), QStringLiteral("white.png"),
};

const QStringList g_penSecondButtonImages = {
    QStringLiteral("btnRed_t.png"), QStringLiteral("btnBrown_t.png"), QStringLiteral("btnOrange_t.png"),
    QStringLiteral("btnYellow_t.png"), QStringLiteral("btnPurple_t.png"), QStringLiteral("btnBlue_t.png"),
    QStringLiteral("btnCyan_t.png"), QStringLiteral("btnLime_t.png"), QStringLiteral("btnPink_t.png"),
    QStringLiteral("btnBlack_t.png"), QStringLiteral("btnGray_t.png"), QStringLiteral("btnWhite_t.png"),
};

const QVector<FlowerImage> g_shortFlowerList = {
    { QStringLiteral(":/image/class/flower1.png"), 18, 10 },
    { QStringLiteral(":/image/class/flower2.png"), 28, 41 },
    { QStringLiteral(":/image/class/flower3.png"), 28, 41 },
    { QStringLiteral(":/image/class/flower4.png"), 11, 39 },
    { QStringLiteral(":/image/class/flower5.png"), 18, 60 },
    { QStringLiteral(":/image/class/flower6.png"), 42, 47 },
    { QStringLiteral(":/image/class/flower7.png"), 64, 71 },
};

// The short list followed by seven more; defined after it in this file, so
// it is built first.
const QVector<FlowerImage> g_longFlowerList = g_shortFlowerList + QVector<FlowerImage>{
    { QStringLiteral(":/image/class/flower8.png"), 29, 16 },
    { QStringLiteral(":/image/class/flower9.png"), 36, 18 },
    { QStringLiteral(":/image/class/flower10.png"), 21, 21 },
    { QStringLiteral(":/image/class/flower11.png"), 33, 32 },
    { QStringLiteral(":/image/class/flower12.png"), 34, 33 },
    { QStringLiteral(":/image/class/flower13.png"), 22, 21 },
    { QStringLiteral(":/image/class/flower14.png"), 41, 39 },
};

const char g_clientVersion[] = "1.1.5.1";

const QString g_downloadTempSuffix = QStringLiteral(".zumixo");
const QString g_loginInfoKey = QStringLiteral("login/info");

QString g_supervisionClassId;
QString g_supervisionToken;

QMutex g_actionLogMutex;
QMutex g_translateLanguageMutex;
