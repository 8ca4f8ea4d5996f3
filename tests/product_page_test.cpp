// A product page's Proceed, Browse and Cancel, driven from outside through the
// real setup.exe. Each test ends the run through Cancel and "finerr".
#include "setup_run.h"
#include "test_files.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

class ProductPage : public SetupRun {
protected:
    // Starts the installer and returns the modeller page.
    HWND OpenFirstPage()
    {
        Start();
        return WaitPage(MODELLER);
    }

    // Cancels from the page in front and checks the ending.
    void EndRun(HWND page)
    {
        CancelRun(page);
        Finish(FinishErrorCaption, FinishErrorText);
    }

    // After everything posted to the installer so far, only the page is shown.
    void ExpectOnlyPage(HWND page, int index, const char *why)
    {
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103), SetupTimeout)) << why;
        EXPECT_EQ(std::vector<std::string>{Pages[index].caption}, driver::WindowsOf(setup.id))
            << why;
    }

    static bool HasChildText(HWND window, const char *text)
    {
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (driver::ControlText(c, 0) == text)
                return true;
        return false;
    }

    static std::string Prompt(const std::string &dir)
    {
        return "Directory " + dir + " doesn't seem to exist - create?";
    }
};

TEST_F(ProductPage, ExistingWritableDirectoryIsTakenWithoutPrompt)
{
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    std::string dir = scratch + "\\existing";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    ProceedWith(page, dir);
    // The next page, and no prompt on the way.
    HWND next = NULL;
    int seen = driver::WaitForAnyWindow({Pages[SAVER].caption, "New Directory?"}, SetupTimeout,
                                        &next);
    ASSERT_EQ(0, seen) << Windows();
    EXPECT_FALSE(FileExists(dir + "\\xxx.xxx")) << "probe file left behind";
    EndRun(next);
}

TEST_F(ProductPage, MissingDirectoryIsCreatedOnYes)
{
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    std::string dir = scratch + "\\new";
    ProceedWith(page, dir);
    Answer("New Directory?", Prompt(dir), IDYES);
    HWND next = WaitPage(SAVER);
    ASSERT_TRUE(next);
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(FileExists(dir + "\\xxx.xxx"));
    EndRun(next);
}

TEST_F(ProductPage, FailedCreationKeepsThePage)
{
    // Only the last level is ever created, and an existing directory cannot be.
    std::string taken = scratch + "\\taken";
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), NULL));
    ASSERT_TRUE(WriteWhole(taken + "\\xxx.xxx", "the user's own file"));
    struct Row {
        const char *what;
        std::string dir;
    } rows[] = {
        {"parent missing", "C:\\A\\B"},
        {"holds xxx.xxx", taken},
    };

    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    for (const Row &r : rows) {
        ProceedWith(page, r.dir);
        Answer("New Directory?", Prompt(r.dir), IDYES);
        Answer("Error", "Can't create Directory " + r.dir, IDOK);
        ExpectOnlyPage(page, MODELLER, r.what);
        EXPECT_EQ(r.dir, driver::ControlText(page, 102)) << r.what;
    }
    EXPECT_FALSE(DirectoryExists("C:\\A"));
    EXPECT_EQ("the user's own file", ReadWhole(taken + "\\xxx.xxx"));
    EndRun(page);
    // The page held the last directory tried.
    EXPECT_EQ(taken, CreateDir());
}

TEST_F(ProductPage, NoOnThePromptKeepsTheTypedDirectory)
{
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    std::string dir = scratch + "\\declined";
    ProceedWith(page, dir);
    Answer("New Directory?", Prompt(dir), IDNO);
    ExpectOnlyPage(page, MODELLER, "after No");
    EXPECT_EQ(dir, driver::ControlText(page, 102));
    EXPECT_FALSE(DirectoryExists(dir));
    EndRun(page);
    EXPECT_EQ(dir, CreateDir());
}

TEST_F(ProductPage, EmptyDirectoryProbesTheRootOfTheCurrentDrive)
{
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    ProceedWith(page, "");
    // The installer runs in C:\tests\setup, and C:\ is writable.
    HWND next = NULL;
    int seen = driver::WaitForAnyWindow({Pages[SAVER].caption, "New Directory?"}, SetupTimeout,
                                        &next);
    ASSERT_EQ(0, seen) << Windows();
    EXPECT_FALSE(FileExists("C:\\xxx.xxx"));
    EXPECT_TRUE(FileExists("C:\\MODELEX.EXE")) << "not installed into the root";
    EXPECT_TRUE(FileExists("C:\\MAPS\\WOOD.BMP")) << "not installed into the root";
    EndRun(next);
}

TEST_F(ProductPage, TextIsCutTo249Characters)
{
    // C:\tests\setup\ followed by x's, to a given total length.
    auto text = [this](size_t length) {
        std::string t = scratch + "\\";
        return t + std::string(length - t.size(), 'x');
    };
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    struct Row {
        size_t typed, taken;
    } rows[] = {{248, 248}, {249, 249}, {250, 249}, {300, 249}};
    for (const Row &r : rows) {
        std::string typed = text(r.typed);
        ProceedWith(page, typed);
        Answer("New Directory?", Prompt(typed.substr(0, r.taken)), IDNO);
        EXPECT_EQ(typed, driver::ControlText(page, 102)) << r.typed;
    }
    EndRun(page);
    EXPECT_EQ(text(249), CreateDir());
}

TEST_F(ProductPage, CommandsWaitWhileProceedIsHandled)
{
    // Proceed's boxes have no owner, so the page can be clicked while one is open.
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    std::string dir = scratch + "\\busy";
    ProceedWith(page, dir);
    ASSERT_TRUE(driver::WaitForWindow("New Directory?", SetupTimeout));
    struct Row {
        const char *what;
        void (*act)(HWND page);
    } rows[] = {
        {"Proceed", [](HWND p) { driver::Click(p, IDOK); }},
        {"Browse", [](HWND p) { driver::Click(p, 103); }},
        {"Cancel", [](HWND p) { driver::Click(p, IDCANCEL); }},
        {"Escape", [](HWND p) { driver::PressKey(p, 102, VK_ESCAPE); }},
        {"Enter", [](HWND p) { driver::PressKey(p, 102, VK_RETURN); }},
        {"close button", [](HWND p) { driver::CloseWindow(p); }},
    };
    const std::vector<std::string> expected = {"New Directory?", Pages[MODELLER].caption};
    for (const Row &r : rows) {
        r.act(page);
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103), SetupTimeout)) << r.what;
        EXPECT_EQ(expected, driver::WindowsOf(setup.id)) << r.what;
    }
    Answer("New Directory?", Prompt(dir), IDNO);
    ExpectOnlyPage(page, MODELLER, "after the prompt");

    // Commands work again once the handling is over.
    ProceedWith(page, dir);
    Answer("New Directory?", Prompt(dir), IDYES);
    HWND next = WaitPage(SAVER);
    ASSERT_TRUE(next);
    EndRun(next);
}

TEST_F(ProductPage, CancelledBrowseChangesNothing)
{
    HWND page = OpenFirstPage();
    ASSERT_TRUE(page);
    driver::SetControlText(page, 102, "C:\\edited");
    driver::Click(page, 103);
    HWND browser = driver::WaitForWindow("Browse for Folder", SetupTimeout);
    ASSERT_TRUE(browser) << Windows();
    EXPECT_TRUE(HasChildText(browser, Pages[MODELLER].browseTitle));
    driver::Click(browser, IDCANCEL);
    ASSERT_TRUE(driver::WaitForWindowGone("Browse for Folder", SetupTimeout));
    ExpectOnlyPage(page, MODELLER, "after the browser");
    EXPECT_EQ("C:\\edited", driver::ControlText(page, 102));
    EndRun(page);
    EXPECT_EQ(Pages[MODELLER].defaultDir, CreateDir());
}

TEST_F(ProductPage, BrowseFillsTheChosenFolderAndProceedReadsTheBox)
{
    char desktop[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    Start();
    HWND page = WaitPage(MODELLER);
    ASSERT_TRUE(page);
    ProceedWith(page, scratch);
    page = WaitPage(SAVER);
    ASSERT_TRUE(page);

    driver::Click(page, 103);
    HWND browser = driver::WaitForWindow("Browse for Folder", SetupTimeout);
    ASSERT_TRUE(browser) << Windows();
    EXPECT_TRUE(HasChildText(browser, Pages[SAVER].browseTitle));
    // The tree's root is the desktop, whose folder is a directory.
    HWND tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
    ASSERT_TRUE(tree);
    LRESULT root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, root);
    driver::Click(browser, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone("Browse for Folder", SetupTimeout));
    ExpectOnlyPage(page, SAVER, "after the browser");
    EXPECT_EQ(desktop, driver::ControlText(page, 102));

    // Proceed always reads the box, whatever Browse put there.
    std::string edited = scratch + "\\edited";
    ProceedWith(page, edited);
    Answer("New Directory?", Prompt(edited), IDNO);
    EndRun(page);
    EXPECT_EQ(edited, CreateDir());
}

} // namespace
