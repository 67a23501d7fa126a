// Draws every picture of the program with QPainter and writes them under
// the given image folder (src/image). The output is committed; run this
// again only to change a picture.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <image folder>\n", argv[0]);
        return 2;
    }
    ImageWriter writer(QString::fromLocal8Bit(argv[1]));
    drawClassImages(writer);
    drawLoginImages(writer);
    drawPenPaletteImages(writer);
    drawBoardImages(writer);
    drawCourseImages(writer);
    drawDeviceImages(writer);
    drawClassroomImages(writer);
    drawChatImages(writer);
    drawVideoToolImages(writer);
    drawMediaImages(writer);
    drawAwardImages(writer);
    return writer.ok() ? 0 : 1;
}
