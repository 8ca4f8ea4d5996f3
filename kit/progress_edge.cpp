#include "progress_edge.h"

int ProgressEdge(int step, int total)
{
    // Out-of-range values would make the float-to-int conversion undefined.
    if (total < 1 || step <= 0)
        return 0;
    if (step >= total)
        return ProgressBarFull;
    // volatile: the x87 unit of the 32-bit build would otherwise keep extra
    // precision and truncate a value that single precision rounds up.
    volatile float share = (float)step / (float)total;
    volatile float edge = share * (float)ProgressBarFull;
    return (int)edge;
}
