#ifndef MOCKHTTPRESPONSE_H
#define MOCKHTTPRESPONSE_H

#include <QString>

// A canned server answer: delivered after "delay" milliseconds.
struct MockHttpResponse
{
    int delay = 0;
    QString body;
};

#endif // MOCKHTTPRESPONSE_H
