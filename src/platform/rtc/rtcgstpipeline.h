#pragma once

#include <QImage>

typedef struct _GstElement GstElement;
typedef struct _GstSample GstSample;

// What every pipeline of the engine does alike at its ends.
namespace RtcGstPipeline {

// Ends the pipeline's streaming threads and detaches its bus handler: no
// callback of the pipeline's owner runs after it. The caller keeps its
// reference.
void stop(GstElement *pipeline);

// A copy of a BGRx sample as 32-bit RGB, or a null image when the sample
// has no usable size (none, or a side over maxSide) or too few bytes.
QImage imageFromSample(GstSample *sample, int maxSide);

} // namespace RtcGstPipeline
