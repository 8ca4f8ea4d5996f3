// Entry point and the main window: a blue gradient behind the dialogs, whose
// start timer runs the installation once.
#include "kit.h"
#include "toolkit.h"

#include <objbase.h>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        StartTimer = SetTimer(window, 1, 500, NULL);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        // 240 bands of two pixels, from pure blue down to blue 16.
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        for (int i = 0; i < 240; i++) {
            HBRUSH band = CreateSolidBrush(RGB(0, 0, 255 - i));
            RECT r = {0, 2 * i, 640, 2 * i + 2};
            FillRect(dc, &r, band);
            DeleteObject(band);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        // Once only: the modal dialogs of the installation dispatch timer messages too.
        KillTimer(window, StartTimer);
        RunInstall(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)commandLine; // the installer has no options
    AppInstance = instance;
    RestoreInterruptedReplacements(); // a run cut short may have left only a backup
    if (!previous) {
        WNDCLASSA wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = MainWndProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, "setup");
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        wc.lpszMenuName = "setup";
        wc.lpszClassName = "setup";
        if (!RegisterClassA(&wc))
            return 0;
    }
    CoInitialize(NULL); // once for the whole run: the desktop links need it
    HWND window = CreateWindowExA(0, "setup", "Skyloop Setup", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  640, 480, NULL, NULL, instance, NULL);
    if (!window) {
        CoUninitialize();
        return 0; // no window: no quit message would ever end the loop
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg = {};
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    CoUninitialize();
    return (int)msg.wParam;
}
