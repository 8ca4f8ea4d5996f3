#include "progress_edge.h"

int ProgressEdge(int step, int total)
{
    // Out-of-range values would make the float-to-int conversion undefined.
    if (total < 1 || step <= 0)
        return 0;
    if (step >= total)
        return ProgressBarFull;
    // Every value passes through a volatile float: the 32-bit build's x87 unit
    // would otherwise keep extra precision, also in the conversions of step
    // and total, and truncate a value that single precision rounds up. Each
    // store rounds to single precision, as the 64-bit build's SSE does.
    volatile float s = (float)step;
    volatile float t = (float)total;
    volatile float share = s / t;
    volatile float edge = share * (float)ProgressBarFull;
    return (int)edge;
}
