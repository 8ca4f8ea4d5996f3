// Runs the suite installer from the media (drive D:) as a user would, and
// cleans up what a run leaves behind, before and after each test.
#ifndef SETUP_RUN_H
#define SETUP_RUN_H

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "driver.h"

// Every wait on the installer is bounded by this.
const DWORD SetupTimeout = 15000;

struct PageText {
    const char *caption;
    const char *intro;
    const char *defaultDir;
    const char *browseTitle;
};
enum { MODELLER, SAVER, BUILDER, PAGE_COUNT };
extern const PageText Pages[PAGE_COUNT];

extern const char *const FinishOkCaption;
extern const char *const FinishOkText;
extern const char *const FinishErrorCaption;
extern const char *const FinishErrorText;
extern const char *const CancelText;

// Value of a key in an INI file, or "<absent>"; read directly from the file.
std::string IniValue(const std::string &path, const char *section, const char *key);

// What the product steps change outside their own directories, put back as it
// was when the guard was made: the modeller's traces and the saver's leftovers.
struct StepTraces;
struct StepLeftovers;

class SetupRun : public ::testing::Test {
protected:
    SetupRun();
    ~SetupRun() override;
    void SetUp() override;
    void TearDown() override;

    // Starts the installer (D:\SETUP.EXE unless given) with a current directory on C:.
    void Start(const std::string &program = "D:\\SETUP.EXE");
    // The page in front, after checking that it is the expected one.
    HWND WaitPage(int page);
    // Sets the page's directory text and presses Proceed.
    void ProceedWith(HWND page, const std::string &dir);
    // Waits for a message box, checks its text, presses a button.
    void Answer(const char *caption, const std::string &text, int button);
    // Confirms Cancel on the page (Yes on "Cancelling").
    void CancelRun(HWND page);
    // Waits for the finish box, checks it, presses OK and expects exit code 0.
    void Finish(const char *caption, const char *text);
    // skybuild.ini's CreateDir, or "<absent>".
    std::string CreateDir();
    // Visible windows of the installer, for comparisons and failure messages.
    std::string Windows();

    driver::Process setup = {NULL, 0};
    std::string scratch; // C:\tests\setup, the installer's current directory
    std::string builderSettings;
    std::unique_ptr<StepTraces> traces;

private:
    std::unique_ptr<StepLeftovers> leftovers_;
};

#endif
