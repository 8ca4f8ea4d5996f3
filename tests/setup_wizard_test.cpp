// The suite installer's run as a whole: the pages in their order, Cancel, the
// finish boxes, the exit code and the CreateDir written on the way out.
#include <algorithm>

#include "setup_run.h"
#include "test_files.h"

namespace {

using Wizard = SetupRun;

// Control ids in z-order, which is the tab order.
std::vector<int> ControlOrder(HWND dialog)
{
    std::vector<int> ids;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(c));
    return ids;
}

TEST_F(Wizard, PagesComeInOrderWithTheirTextsAndEndWithSuccess)
{
    const std::vector<int> tabOrder[PAGE_COUNT] = {
        {IDOK, IDCANCEL, 7, 101, 102, 103},
        {IDOK, IDCANCEL, 7, 102, 103, 101},
        {IDOK, IDCANCEL, 7, 102, 103, 101},
    };
    Start();
    for (int i = 0; i < PAGE_COUNT; i++) {
        const PageText &p = Pages[i];
        HWND page = WaitPage(i);
        ASSERT_TRUE(page) << p.caption;
        EXPECT_EQ(p.intro, driver::ControlText(page, 7)) << p.caption;
        EXPECT_EQ(p.defaultDir, driver::ControlText(page, 102)) << p.caption;
        EXPECT_EQ("", driver::ControlText(page, 101)) << p.caption;
        EXPECT_EQ("Proceed", driver::ControlText(page, IDOK)) << p.caption;
        EXPECT_EQ("Cancel", driver::ControlText(page, IDCANCEL)) << p.caption;
        EXPECT_EQ("Browse", driver::ControlText(page, 103)) << p.caption;
        EXPECT_EQ(tabOrder[i], ControlOrder(page)) << p.caption;
        for (int id : {IDOK, IDCANCEL, 103})
            EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(page, id))) << p.caption << " " << id;
        LONG edit = GetWindowLongA(GetDlgItem(page, 102), GWL_STYLE);
        EXPECT_EQ(0, edit & ES_AUTOHSCROLL) << p.caption;
        EXPECT_NE(0, edit & WS_TABSTOP) << p.caption;
        LONG style = GetWindowLongA(page, GWL_STYLE);
        EXPECT_EQ(DS_MODALFRAME | DS_CONTEXTHELP, style & (DS_MODALFRAME | DS_CONTEXTHELP))
            << p.caption;
        EXPECT_EQ(std::vector<std::string>{p.caption}, driver::WindowsOf(setup.id));

        // The default directories do not exist yet: each is offered and created.
        driver::Click(page, IDOK);
        Answer("New Directory?",
               std::string("Directory ") + p.defaultDir + " doesn't seem to exist - create?",
               IDYES);
        EXPECT_TRUE(DirectoryExists(p.defaultDir)) << p.defaultDir;
    }
    Finish(FinishOkCaption, FinishOkText);
    // Written on the way out: the builder page's directory.
    EXPECT_EQ("c:\\skybuild", CreateDir());
}

TEST_F(Wizard, ConfirmedCancelOnAnyPageEndsWithTheErrorBox)
{
    for (int cancelled = 0; cancelled < PAGE_COUNT; cancelled++) {
        SCOPED_TRACE(Pages[cancelled].caption);
        Start();
        for (int i = 0; i < cancelled; i++) {
            HWND page = WaitPage(i);
            ASSERT_TRUE(page);
            ProceedWith(page, scratch);
        }
        HWND page = WaitPage(cancelled);
        ASSERT_TRUE(page);

        // No keeps the page as it was.
        driver::SetControlText(page, 102, "C:\\typed but not proceeded");
        driver::Click(page, IDCANCEL);
        Answer("Cancelling", CancelText, IDNO);
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103), SetupTimeout));
        EXPECT_EQ(std::vector<std::string>{Pages[cancelled].caption}, driver::WindowsOf(setup.id));
        EXPECT_EQ("C:\\typed but not proceeded", driver::ControlText(page, 102));

        CancelRun(page);
        Finish(FinishErrorCaption, FinishErrorText);
        // The page's directory as it was last taken, not the edit box's text.
        EXPECT_EQ(Pages[cancelled].defaultDir, CreateDir());
        DeleteFileA(builderSettings.c_str());
    }
}

TEST_F(Wizard, EscapeAndCloseAskBeforeCancellingAndEnterProceeds)
{
    Start();
    HWND page = WaitPage(MODELLER);
    ASSERT_TRUE(page);
    struct Row {
        const char *what;
        void (*act)(HWND page);
    } rows[] = {
        {"Escape", [](HWND p) { driver::PressKey(p, 102, VK_ESCAPE); }},
        {"close button", [](HWND p) { driver::CloseWindow(p); }},
    };
    for (const Row &r : rows) {
        r.act(page);
        HWND box = driver::WaitForWindow("Cancelling", SetupTimeout);
        ASSERT_TRUE(box) << r.what << "; windows: " << Windows();
        EXPECT_EQ(CancelText, driver::ControlText(box, 0xFFFF)) << r.what;
        EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(box, IDNO))) << r.what;
        EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(box, IDYES))) << r.what;
        Answer("Cancelling", CancelText, IDNO);
    }

    driver::SetControlText(page, 102, scratch.c_str());
    driver::PressKey(page, 102, VK_RETURN);
    page = WaitPage(SAVER);
    ASSERT_TRUE(page);
    CancelRun(page);
    Finish(FinishErrorCaption, FinishErrorText);
}

TEST_F(Wizard, FinishBoxClosesOnlyOnOkOrEnter)
{
    struct Row {
        const char *what;
        void (*close)(HWND box);
    } rows[] = {
        {"OK", [](HWND b) { driver::Click(b, IDOK); }},
        {"Enter", [](HWND b) { driver::PressKey(b, IDOK, VK_RETURN); }},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Start();
        HWND page = WaitPage(MODELLER);
        ASSERT_TRUE(page);
        CancelRun(page);
        HWND box = driver::WaitForWindow(FinishErrorCaption, SetupTimeout);
        ASSERT_TRUE(box);
        EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(box, IDOK)));

        driver::PressKey(box, IDOK, VK_ESCAPE);
        driver::CloseWindow(box);
        ASSERT_TRUE(driver::Flush(GetDlgItem(box, IDOK), SetupTimeout) && IsWindowVisible(box))
            << "Escape or the close button ended the box";

        r.close(box);
        EXPECT_EQ(0, driver::WaitForExit(setup, SetupTimeout));
        EXPECT_EQ(Pages[MODELLER].defaultDir, CreateDir());
    }
}

} // namespace
