// The demo's walk through an installer: starts it, and until it ends answers
// every window it shows the way a user accepting every proposal would (Yes,
// Continue, Proceed, OK), saving a screenshot of the screen whenever a new
// window appears and printing what each window said. Exits with the program's
// exit code, 124 when it did not end in time, 127 when it could not start.
//
//   demo_walkthrough SHOTDIR PROGRAM [DIRECTORY]
#include <windows.h>
#include <strsafe.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

namespace {

const DWORD WalkTimeout = 600000; // installing many files under Wine takes a while

std::string Text(HWND window)
{
    char text[2048] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

BOOL CALLBACK Collect(HWND w, LPARAM l)
{
    auto *found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>> *>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == found->first && IsWindowVisible(w))
        found->second.push_back(w);
    return TRUE;
}

// The screen as it was last captured, kept until it is written.
struct Frame {
    BITMAPINFOHEADER info;
    std::vector<char> bits;
};

Frame Capture()
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    Frame f = {{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, (BITMAPINFO *)&f.info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    f.bits.assign((char *)bits, (char *)bits + ((width * 3 + 3) & ~3) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return f;
}

bool Write(const Frame &f, const std::string &path)
{
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof f.info, size = (DWORD)f.bits.size(), written = 0;
    BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    bool saved = h != INVALID_HANDLE_VALUE && WriteFile(h, &file, sizeof file, &written, NULL) &&
                 WriteFile(h, &f.info, sizeof f.info, &written, NULL) && WriteFile(h, f.bits.data(), size, &written, NULL);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return saved;
}

// The button that accepts what the window proposes, or NULL for a window that
// proposes nothing (the distribution installer's main window).
HWND Forward(HWND window)
{
    char kind[32] = "";
    HWND continueButton = GetDlgItem(window, 102);
    if (continueButton && GetClassNameA(continueButton, kind, sizeof kind) && lstrcmpiA(kind, "Button") == 0)
        return continueButton;
    for (int id : {IDYES, IDOK})
        if (HWND button = GetDlgItem(window, id))
            return button;
    return NULL;
}

// What a window says: a message box's text, a dialog's static texts and fields.
std::string Says(HWND window)
{
    std::string said;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char kind[32] = "";
        GetClassNameA(c, kind, sizeof kind);
        std::string text = Text(c);
        if (!text.empty() && (lstrcmpiA(kind, "Static") == 0 || lstrcmpiA(kind, "Edit") == 0))
            said += "\n    " + text;
    }
    return said;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: demo_walkthrough SHOTDIR PROGRAM [DIRECTORY]\n");
        return 2;
    }
    std::string shots = argv[1];
    char line[MAX_PATH];
    StringCchCopyA(line, sizeof line, argv[2]);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, argc > 3 ? argv[3] : NULL, &si, &pi)) {
        printf("cannot start %s (error %lu)\n", argv[2], GetLastError());
        return 127;
    }
    std::set<HWND> seen, answered;
    int shot = 0;
    DWORD start = GetTickCount(), lastShot = start;
    Frame working; // the screen while the program works between its windows
    while (WaitForSingleObject(pi.hProcess, 200) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > WalkTimeout) {
            printf("%s did not end; stopped\n", argv[2]);
            TerminateProcess(pi.hProcess, 1);
            return 124;
        }
        std::pair<DWORD, std::vector<HWND>> found(pi.dwProcessId, {});
        EnumWindows(Collect, (LPARAM)&found);
        bool fresh = false;
        for (HWND w : found.second)
            fresh = fresh || !seen.count(w);
        // Work that took a while shows in its last frame: the progress panel at its end, say.
        if (fresh && GetTickCount() - lastShot > 700 && !working.bits.empty()) {
            char name[32];
            StringCchPrintfA(name, sizeof name, "\\%02d-working.bmp", ++shot);
            Write(working, shots + name);
        }
        for (HWND w : found.second) {
            if (!seen.insert(w).second)
                continue;
            Sleep(500); // let it paint; this is a demo, not a test
            char name[32];
            StringCchPrintfA(name, sizeof name, "\\%02d.bmp", ++shot);
            printf("window \"%s\"%s\n", Text(w).c_str(), Says(w).c_str());
            if (!Write(Capture(), shots + name))
                printf("  (no screenshot)\n");
            lastShot = GetTickCount();
        }
        if (!fresh)
            working = Capture();
        for (HWND w : found.second) {
            HWND button = Forward(w);
            if (button && answered.insert(w).second) {
                printf("  -> %s\n", Text(button).c_str());
                PostMessageA(button, BM_CLICK, 0, 0);
            }
        }
    }
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    printf("%s ended with exit code %lu\n", argv[2], code);
    return (int)code;
}
