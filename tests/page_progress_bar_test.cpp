// The progress bar that each product step lays on its page.
#include <gtest/gtest.h>

#include "suite.h"

#include <commctrl.h>

#include "driver.h"

namespace {

TEST(PageProgressBar, LiesAlongTheBottomOfThePageFrom0To100)
{
    AppInstance = GetModuleHandleA(NULL);
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                                420, 230, NULL, NULL, AppInstance, NULL);
    ASSERT_TRUE(page);
    HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 150, 200, 16, page,
                                 (HMENU)101, AppInstance, NULL);
    ASSERT_TRUE(label);

    HWND bar = CreatePageProgressBar(page, "Installing Skyloop...");
    ASSERT_TRUE(bar);
    EXPECT_EQ("Installing Skyloop...", driver::ControlText(label, 0));
    char kind[64] = "";
    GetClassNameA(bar, kind, sizeof kind);
    EXPECT_STREQ(PROGRESS_CLASSA, kind);
    EXPECT_EQ(page, GetParent(bar));
    EXPECT_TRUE(IsWindowVisible(bar));

    RECT client, placed;
    GetClientRect(page, &client);
    GetWindowRect(bar, &placed);
    MapWindowPoints(NULL, page, reinterpret_cast<POINT *>(&placed), 2);
    EXPECT_EQ(0, placed.left);
    EXPECT_EQ(client.right, placed.right);
    EXPECT_EQ(client.bottom, placed.bottom);
    EXPECT_EQ(GetSystemMetrics(SM_CYVSCROLL), placed.bottom - placed.top);

    PBRANGE range = {-1, -1};
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);
    EXPECT_EQ(0, SendMessageA(bar, PBM_GETPOS, 0, 0));
    DestroyWindow(page);
}

} // namespace
