#ifndef IMAGEFOLDERS_H
#define IMAGEFOLDERS_H

class ImageWriter;

// Each draws the pictures of one image folder.
void drawClassImages(ImageWriter &writer); // class/: course and common widgets
void drawLoginImages(ImageWriter &writer); // login/: login and network-line windows
void drawPenPaletteImages(ImageWriter &writer); // class/: the pen colour palette
void drawBoardImages(ImageWriter &writer); // class/: the whiteboard and its tool bars
void drawCourseImages(ImageWriter &writer); // class/: the course windows

void drawDeviceImages(ImageWriter &writer); // class/, setting/: the device windows
void drawChatImages(ImageWriter &writer); // class/, loading/: the chat and the screenshot tool
void drawVideoToolImages(ImageWriter &writer); // class/: the video tiles and the big video
void drawMediaImages(ImageWriter &writer); // class/: the lesson-material panels
void drawAwardImages(ImageWriter &writer); // background/, trophy/, review/, resources/: awards and praise

void drawClassroomImages(ImageWriter &writer); // class/: the classroom window

#endif // IMAGEFOLDERS_H
