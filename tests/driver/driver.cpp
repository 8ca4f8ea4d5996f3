#include "driver.h"

#include <algorithm>
#include <vector>

namespace driver {

namespace {

struct Search {
    const char *caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND w, LPARAM l)
{
    Search *s = reinterpret_cast<Search *>(l);
    char text[512];
    if (!IsWindowVisible(w))
        return TRUE;
    if (SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, NULL) == 0)
        return TRUE;
    if (strcmp(text, s->caption) == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectCaption(HWND w, LPARAM l)
{
    std::string *all = reinterpret_cast<std::string *>(l);
    char text[512] = "";
    if (IsWindowVisible(w) && GetWindowTextA(w, text, sizeof text) > 0) {
        *all += "[";
        *all += text;
        *all += "] ";
    }
    return TRUE;
}

struct ProcessWindows {
    DWORD id;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindow(HWND w, LPARAM l)
{
    ProcessWindows *p = reinterpret_cast<ProcessWindows *>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == p->id && IsWindowVisible(w))
        p->windows.push_back(w);
    return TRUE;
}

bool WaitForButtonState(HWND button, bool pushed, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD_PTR state = 0;
        if (!SendMessageTimeoutA(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &state))
            return false;
        if (((state & BST_PUSHED) != 0) == pushed)
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
}

HWND FindNow(const char *caption)
{
    Search s = {caption, NULL};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

} // namespace

HWND WaitForWindow(const char *caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindNow(caption);
        if (w)
            return w;
        if (GetTickCount() - start > timeoutMs)
            return NULL;
        Sleep(20);
    }
}

bool WaitForWindowGone(const char *caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (FindNow(caption)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

std::string VisibleCaptions()
{
    std::string all;
    EnumWindows(CollectCaption, reinterpret_cast<LPARAM>(&all));
    return all;
}

int WaitForAnyWindow(const std::vector<std::string> &captions, DWORD timeoutMs, HWND *found)
{
    DWORD start = GetTickCount();
    for (;;) {
        for (size_t i = 0; i < captions.size(); i++) {
            HWND w = FindNow(captions[i].c_str());
            if (w) {
                if (found)
                    *found = w;
                return static_cast<int>(i);
            }
        }
        if (GetTickCount() - start > timeoutMs)
            return -1;
        Sleep(20);
    }
}

std::vector<HWND> VisibleWindowsOf(DWORD processId)
{
    ProcessWindows p = {processId, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&p));
    return p.windows;
}

std::vector<std::string> WindowsOf(DWORD processId)
{
    std::vector<std::string> captions;
    for (HWND w : VisibleWindowsOf(processId))
        captions.push_back(ControlText(w, 0));
    std::sort(captions.begin(), captions.end());
    return captions;
}

std::string ControlText(HWND window, int id)
{
    HWND control = id ? GetDlgItem(window, id) : window;
    if (!control)
        return "<no control>";
    std::vector<char> text(4096);
    DWORD_PTR got = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &got);
    return std::string(text.data(), got);
}

void SetControlText(HWND window, int id, const char *text)
{
    SendMessageTimeoutA(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, NULL);
}

void Click(HWND window, int id)
{
    PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0);
}

void CloseWindow(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void PressKey(HWND window, int id, WORD virtualKey)
{
    HWND target = id ? GetDlgItem(window, id) : window;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool Flush(HWND button, DWORD timeoutMs)
{
    // Two rounds: whatever the first round's messages posted is queued before
    // the second marker.
    for (int round = 0; round < 2; round++) {
        if (!PostMessageA(button, BM_SETSTATE, TRUE, 0) ||
            !WaitForButtonState(button, true, timeoutMs))
            return false;
        if (!PostMessageA(button, BM_SETSTATE, FALSE, 0) ||
            !WaitForButtonState(button, false, timeoutMs))
            return false;
    }
    return true;
}

bool IsDefaultButton(HWND button)
{
    return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool AnswerMessageBox(const char *caption, int buttonId, DWORD timeoutMs, std::string *text)
{
    HWND box = WaitForWindow(caption, timeoutMs);
    if (!box)
        return false;
    if (text)
        *text = ControlText(box, 0xFFFF);
    HWND button = GetDlgItem(box, buttonId);
    if (!button)
        return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

Process Start(const char *commandLine, const char *directory)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine, commandLine + strlen(commandLine) + 1);
    Process p = {NULL, 0};
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, directory, &si, &pi))
        return p;
    CloseHandle(pi.hThread);
    p.handle = pi.hProcess;
    p.id = pi.dwProcessId;
    return p;
}

int WaitForExit(Process &p, DWORD timeoutMs)
{
    if (!p.handle)
        return -1;
    if (WaitForSingleObject(p.handle, timeoutMs) != WAIT_OBJECT_0) {
        Kill(p);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(p.handle, &code);
    CloseHandle(p.handle);
    p.handle = NULL;
    return static_cast<int>(code);
}

void Kill(Process &p)
{
    if (!p.handle)
        return;
    TerminateProcess(p.handle, 1);
    WaitForSingleObject(p.handle, 5000);
    CloseHandle(p.handle);
    p.handle = NULL;
}

} // namespace driver
