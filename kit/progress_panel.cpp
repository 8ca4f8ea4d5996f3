#include "kit.h"
#include "progress_edge.h"

static HWND panel; // the panel of the current installation pass

static const char Caption[] = "Install Progress";

void CreateProgressPanel(HWND mainWindow)
{
    // A later pass starts from an empty bar rather than drawing over the old one.
    if (panel && IsWindow(panel) && GetParent(panel) == mainWindow)
        DestroyWindow(panel);
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE);
    panel = CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE, 215, 200, 210, 80, mainWindow, NULL,
                          instance, NULL);
    if (!panel)
        return;
    ShowWindow(panel, SW_SHOWNORMAL);
    // The edit paints itself blank once; let that happen now, not at the next
    // dialog, where it would wipe the caption and the bar.
    UpdateWindow(panel);
    HDC dc = GetDC(panel);
    TextOutA(dc, 50, 5, Caption, sizeof Caption - 1);
    ReleaseDC(panel, dc);
}

void DrawProgress(HWND mainWindow, int step, int total)
{
    if (!panel || !IsWindow(panel) || GetParent(panel) != mainWindow)
        return;
    int edge = ProgressEdge(step, total);
    if (edge <= ProgressBarLeft)
        return;
    HDC dc = GetDC(panel);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT bar = {ProgressBarLeft, ProgressBarTop, edge, ProgressBarBottom};
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
    ReleaseDC(panel, dc);
}
