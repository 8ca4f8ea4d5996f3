#include "driver.h"

#include <algorithm>

namespace driver {

bool Poll(DWORD timeoutMs, const std::function<bool()> &done)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(10))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

struct Search {
    const char *caption; // NULL: any
    DWORD processId;     // 0: any
    std::vector<HWND> found;
};

static BOOL CALLBACK Collect(HWND w, LPARAM l)
{
    Search *s = reinterpret_cast<Search *>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (IsWindowVisible(w) && (!s->processId || owner == s->processId) && (!s->caption || ControlText(w, 0) == s->caption))
        s->found.push_back(w);
    return TRUE;
}

HWND FindVisible(const char *caption)
{
    Search s = {caption, 0, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found.empty() ? NULL : s.found[0];
}

HWND WaitForWindow(const char *caption, DWORD timeoutMs)
{
    HWND w = NULL;
    Poll(timeoutMs, [&] { return (w = FindVisible(caption)) != NULL; });
    return w;
}

bool WaitForWindowGone(const char *caption, DWORD timeoutMs)
{
    return Poll(timeoutMs, [&] { return !FindVisible(caption); });
}

std::vector<std::string> WindowsOf(DWORD processId)
{
    Search s = {NULL, processId, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    std::vector<std::string> captions;
    for (HWND w : s.found)
        captions.push_back(ControlText(w, 0));
    std::sort(captions.begin(), captions.end());
    return captions;
}

std::string ControlText(HWND window, int id)
{
    HWND control = id ? GetDlgItem(window, id) : window;
    char text[4096];
    DWORD_PTR got = 0;
    if (!control || !SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got))
        return "<no control>";
    return std::string(text, got);
}

void SetControlText(HWND window, int id, const char *text)
{
    SendMessageTimeoutA(GetDlgItem(window, id), WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
}

void Click(HWND window, int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }
void CloseWindow(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
bool IsDefaultButton(HWND button) { return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

void PressKey(HWND window, int id, WORD virtualKey)
{
    HWND target = id ? GetDlgItem(window, id) : window;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool Flush(HWND button, DWORD timeoutMs)
{
    // The button's pushed state marks how far its queue has been handled.
    for (bool pushed : {true, false, true, false})
        if (!PostMessageA(button, BM_SETSTATE, pushed, 0) || !Poll(timeoutMs, [&] {
                DWORD_PTR state = pushed ? 0 : BST_PUSHED;
                SendMessageTimeoutA(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state);
                return ((state & BST_PUSHED) != 0) == pushed;
            }))
            return false;
    return true;
}

bool AnswerMessageBox(const char *caption, int buttonId, DWORD timeoutMs, std::string *text)
{
    HWND box = WaitForWindow(caption, timeoutMs);
    if (!box || !GetDlgItem(box, buttonId))
        return false;
    if (text)
        *text = ControlText(box, 0xFFFF);
    Click(box, buttonId);
    return true;
}

Process Start(const std::string &commandLine, const char *directory)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, directory, &si, &pi))
        return {NULL, 0};
    CloseHandle(pi.hThread);
    return {pi.hProcess, pi.dwProcessId};
}

int WaitForExit(Process &p, DWORD timeoutMs)
{
    DWORD code = (DWORD)-1;
    if (p.handle && WaitForSingleObject(p.handle, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(p.handle, &code);
    Kill(p);
    return (int)code;
}

void Kill(Process &p)
{
    if (p.handle) {
        TerminateProcess(p.handle, 1);
        WaitForSingleObject(p.handle, 5000);
        CloseHandle(p.handle);
        p.handle = NULL;
    }
}

BoxWatcher::BoxWatcher(const char *caption, int buttonId)
    : caption_(caption), button_(buttonId), thread_([this] {
          for (; !stop_; Sleep(10))
              if (HWND box = FindVisible(caption_.c_str())) {
                  {
                      // Recorded before the click: the caller may look as soon as the box is gone.
                      std::lock_guard<std::mutex> lock(mutex_);
                      texts_.push_back(ControlText(box, 0xFFFF));
                  }
                  Click(box, button_);
                  WaitForWindowGone(caption_.c_str(), 5000);
              }
      })
{
}

BoxWatcher::~BoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<std::string> BoxWatcher::Texts()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

} // namespace driver
