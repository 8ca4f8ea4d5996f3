// Entry point and the hidden main window that carries the wizard.
#include "suite.h"
#include "toolkit.h"

#include <objbase.h>

// Set once PostQuitMessage has run, so WinMain knows a quit is on its way.
static int QuitPosted = 0;
// 1 once a dialog could not be made: the run ends there, writing nothing more.
static int ExitCode = 0;

// The name of the finish box, or NULL when a page could not be made.
static const char *RunWizard(HWND owner)
{
    static const struct {
        const char *name;
        DLGPROC procedure;
    } pages[] = {{"setupmdx", ModellerPageProc}, {"setupsky", SaverPageProc}, {"setupskb", BuilderPageProc}};
    for (const auto &page : pages) {
        if (DialogBoxParamA(AppInstance, page.name, owner, page.procedure, 0) == -1)
            return NULL;
        if (CancelFlag == 1)
            return "finerr";
    }
    return "finok";
}

LRESULT CALLBACK SuiteWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // The whole run happens here, before the window is ever shown.
        DeriveSourceDir();
        const char *finish = RunWizard(window);
        if (!finish || DialogBoxParamA(AppInstance, finish, window, FinishDlgProc, 0) == -1)
            ExitCode = 1;
        DestroyWindow(window);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(ExitCode);
        QuitPosted = 1;
        // The builder reads this to know where new distributions go.
        if (ExitCode == 0)
            WritePrivateProfileStringA("Misc", "CreateDir", DirEntry, "skybuild.ini");
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int RunProgram(HINSTANCE instance, HINSTANCE previous, int show)
{
    if (!previous) {
        WNDCLASSA wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = SuiteWndProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, "SETUP");
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        wc.lpszMenuName = "SETUP";
        wc.lpszClassName = "SETUP";
        if (!RegisterClassA(&wc))
            return 0;
    }

    // Normally the window is gone again by the time this returns.
    HWND window = CreateWindowExA(0, "SETUP", "SETUP", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL,
                                  instance, NULL);
    if (!window && !QuitPosted)
        return 0; // never created: no quit message would ever end the loop
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg = {};
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)commandLine; // the installer has no options
    AppInstance = instance;
    RestoreInterruptedReplacements(); // a run cut short may have left only a backup
    // Once for the whole run: the folder browser and the steps' links need it.
    CoInitialize(NULL);
    int code = RunProgram(instance, previous, show);
    CoUninitialize();
    return code;
}
