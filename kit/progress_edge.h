// Where the progress panel's bar ends, apart from the drawing so that the
// arithmetic builds and can be checked without the Windows headers.
#ifndef PROGRESS_EDGE_H
#define PROGRESS_EDGE_H

enum {
    ProgressBarLeft = 12,
    ProgressBarTop = 30,
    ProgressBarBottom = 60,
    ProgressBarFull = 195 // right edge of the full bar
};

// Right edge (exclusive) of the bar for step out of total, in panel pixels:
// single precision, truncated. Steps outside 0..total are held to the ends of
// the bar, and a total below 1 gives an empty bar.
int ProgressEdge(int step, int total);

#endif
