#ifndef MEDIAN_H
#define MEDIAN_H

#include <algorithm>

// The middle one of a benchmark's figures (the upper middle one of an even
// count); 0 for none.
template<typename Values>
double median(Values values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

#endif // MEDIAN_H
