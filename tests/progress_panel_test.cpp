// The progress panel: where the bar ends, and the pixels it leaves in a real
// window on the virtual display (24-bit, so colours read back exactly).
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "kit.h"
#include "progress_edge.h"

namespace {

const COLORREF Blue = RGB(0, 0, 255);
const int PanelWidth = 210, PanelHeight = 80;

TEST(ProgressEdge, EdgesForTheInstallStepsAndBeyond)
{
    struct Row {
        int step, total, edge;
    } rows[] = {
        {1, 45, 4}, {10, 45, 43}, {14, 45, 60}, {18, 45, 78}, {28, 45, 121}, {42, 45, 182},
        {45, 45, 195}, {1, 3, 65}, {2, 3, 130}, {0, 45, 0},
        // Single precision: the quotient rounds to 1 although step < total.
        {16777216, 16777217, 195},
        // Outside the range the bar is held to its ends.
        {-3, 45, 0}, {INT_MIN, 45, 0}, {46, 45, 195}, {INT_MAX, 45, 195},
        {INT_MAX, INT_MAX, 195}, {1, 0, 0}, {1, -5, 0}, {INT_MIN, INT_MIN, 0},
    };
    for (const Row &r : rows)
        EXPECT_EQ(r.edge, ProgressEdge(r.step, r.total)) << r.step << " of " << r.total;
    for (int step = 0; step <= 45; step++)
        EXPECT_EQ(step * 195 / 45, ProgressEdge(step, 45)) << step << " of 45";
}

LRESULT CALLBACK MainProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(w, message, wParam, lParam);
}

class ProgressPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static ATOM registered;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = MainProc;
            wc.hInstance = GetModuleHandleA(NULL);
            wc.hCursor = LoadCursor(NULL, IDC_ARROW);
            wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
            wc.lpszClassName = "PanelTestMain";
            registered = RegisterClassA(&wc);
        }
        ASSERT_NE(0, registered);
        main = CreateWindowA("PanelTestMain", "Panel test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                             NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, main);
        ShowWindow(main, SW_SHOWNORMAL);
        UpdateWindow(main);
        Pump(200);
    }
    void TearDown() override
    {
        if (main)
            DestroyWindow(main);
        Pump(50);
    }

    // Lets the window receive its messages, as a modal dialog would.
    static void Pump(DWORD ms)
    {
        DWORD start = GetTickCount();
        do {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(10);
        } while (GetTickCount() - start < ms);
    }

    int Panels()
    {
        int n = 0;
        for (HWND c = FindWindowExA(main, NULL, "EDIT", NULL); c; c = FindWindowExA(main, c, "EDIT", NULL))
            n++;
        return n;
    }

    HWND Panel() { return FindWindowExA(main, NULL, "EDIT", NULL); }

    // Where the panel was placed, in the main window's client pixels.
    RECT PanelPlace()
    {
        RECT r;
        GetWindowRect(Panel(), &r);
        MapWindowPoints(NULL, main, reinterpret_cast<POINT *>(&r), 2);
        return r;
    }

    // Checks that the bar covers exactly [12, edge) x [30, 60): every pixel of
    // the rows and columns that bound it, and of the rows through its middle.
    void ExpectBar(int edge, const std::string &what)
    {
        HWND panel = Panel();
        ASSERT_NE(nullptr, panel) << what;
        HDC dc = GetDC(panel);
        int wrong = 0;
        std::string first;
        auto check = [&](int x, int y) {
            bool inside = x >= 12 && x < edge && y >= 30 && y < 60;
            bool blue = GetPixel(dc, x, y) == Blue;
            if (blue != inside && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                        (blue ? "blue" : "not blue");
        };
        for (int y : {0, 29, 30, 44, 59, 60, 79})
            for (int x = 0; x < PanelWidth; x++)
                check(x, y);
        for (int x : {11, 12, edge - 1, edge, 194, 195, 209})
            for (int y = 0; y < PanelHeight; y++)
                check(x, y);
        ReleaseDC(panel, dc);
        EXPECT_EQ(0, wrong) << what << ": " << wrong << " pixels wrong, first " << first;
    }

    // The caption leaves dark pixels where it is written, none left of it.
    void ExpectCaption(const std::string &what)
    {
        HWND panel = Panel();
        ASSERT_NE(nullptr, panel) << what;
        HDC dc = GetDC(panel);
        COLORREF background = GetPixel(dc, 5, 75);
        int inCaption = 0, leftOfIt = 0;
        for (int y = 0; y < 28; y++) {
            for (int x = 0; x < PanelWidth; x++) {
                if (GetPixel(dc, x, y) == background)
                    continue;
                if (x >= 50)
                    inCaption++;
                else
                    leftOfIt++;
            }
        }
        ReleaseDC(panel, dc);
        EXPECT_GT(inCaption, 50) << what;
        EXPECT_EQ(0, leftOfIt) << what;
    }

    HWND main = NULL;
};

TEST_F(ProgressPanelTest, BarGrowsThroughTheInstallSteps)
{
    CreateProgressPanel(main);
    ASSERT_EQ(1, Panels());
    RECT place = PanelPlace();
    EXPECT_EQ(215, place.left);
    EXPECT_EQ(200, place.top);
    EXPECT_EQ(215 + PanelWidth, place.right);
    EXPECT_EQ(200 + PanelHeight, place.bottom);
    EXPECT_EQ(0, GetWindowTextLengthA(Panel()));
    ExpectCaption("after creation");
    ExpectBar(0, "before the first step");

    struct Row {
        int step, edge;
    } rows[] = {{1, 0}, {10, 43}, {14, 60}, {18, 78}, {28, 121}, {42, 182}, {45, 195}};
    for (const Row &r : rows) {
        DrawProgress(main, r.step, 45);
        ExpectBar(r.edge, "step " + std::to_string(r.step) + " of 45");
    }
    ExpectCaption("after the last step");
}

TEST_F(ProgressPanelTest, BarAndCaptionOutlastTheNextDialog)
{
    CreateProgressPanel(main);
    DrawProgress(main, 28, 45);
    Pump(300);
    ExpectBar(121, "after messages were dispatched");
    ExpectCaption("after messages were dispatched");
}

TEST_F(ProgressPanelTest, NextPassStartsWithAnEmptyBar)
{
    CreateProgressPanel(main);
    DrawProgress(main, 42, 45);
    CreateProgressPanel(main);
    EXPECT_EQ(1, Panels());
    ExpectBar(0, "new panel");
    ExpectCaption("new panel");
    DrawProgress(main, 10, 45);
    ExpectBar(43, "new panel, step 10");
}

} // namespace
