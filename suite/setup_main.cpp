// Entry point and the hidden main window that carries the wizard.
#include "suite.h"
#include "toolkit.h"

#include <objbase.h>

// Set once PostQuitMessage has run, so WinMain knows a quit is on its way.
static int QuitPosted = 0;

static const char *RunWizard(HWND owner)
{
    DialogBoxParamA(AppInstance, "setupmdx", owner, ModellerPageProc, 0);
    if (CancelFlag == 1)
        return "finerr";
    DialogBoxParamA(AppInstance, "setupsky", owner, SaverPageProc, 0);
    if (CancelFlag == 1)
        return "finerr";
    DialogBoxParamA(AppInstance, "setupskb", owner, BuilderPageProc, 0);
    return CancelFlag == 1 ? "finerr" : "finok";
}

LRESULT CALLBACK SuiteWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // The whole run happens here, before the window is ever shown.
        DeriveSourceDir();
        const char *finish = RunWizard(window);
        DialogBoxParamA(AppInstance, finish, window, FinishDlgProc, 0);
        DestroyWindow(window);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        QuitPosted = 1;
        // The builder reads this to know where new distributions go.
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
    // Once for the whole run: the folder browser and the steps' links need it.
    CoInitialize(NULL);
    int code = RunProgram(instance, previous, show);
    CoUninitialize();
    return code;
}
