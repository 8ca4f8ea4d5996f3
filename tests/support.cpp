#include "support.h"

#include <shlobj.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>

const char *const WinGFiles[6] = {"WING.DLL", "WINGDE.DLL", "WINGDIB.DRV", "WINGPAL.WND", "DVA.386", "WING32.DLL"};

std::string ReadWhole(const std::string &path, bool *missing) {
    std::ifstream in(path, std::ios::binary);
    if (missing)
        *missing = !in;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteWhole(const std::string &path, const std::string &data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out.write(data.data(), data.size()) && out.flush();
}

static DWORD Attributes(const std::string &path) { return GetFileAttributesA(path.c_str()); }
bool FileExists(const std::string &path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES && !(Attributes(path) & FILE_ATTRIBUTE_DIRECTORY); }
bool DirectoryExists(const std::string &path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES && (Attributes(path) & FILE_ATTRIBUTE_DIRECTORY); }

void RemoveTree(const std::string &path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str()))
        return;
    for (const std::string &name : FilesIn(path))
        RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

std::string FreshDirectory(const std::string &name) {
    std::string dir = "C:\\tests\\" + name;
    CreateDirectoryA("C:\\tests", NULL);
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::vector<std::string> FilesIn(const std::string &dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FilesBelow(const std::string &dir, bool deep) {
    std::vector<std::string> files, inner;
    for (const std::string &name : FilesIn(dir)) {
        std::string path = dir + "\\" + name;
        inner = !DirectoryExists(path) ? std::vector<std::string>{path} : deep ? FilesBelow(path) : std::vector<std::string>{};
        files.insert(files.end(), inner.begin(), inner.end());
    }
    return files;
}

std::string Differs(const std::string &path, const std::string &expected) {
    bool missing = false;
    std::string data = ReadWhole(path, &missing);
    if (missing || data != expected)
        return path + (missing ? " is missing" : " differs (" + std::to_string(data.size()) + " bytes, expected " +
                                                     std::to_string(expected.size()) + ")");
    return "";
}

std::string IniValue(const std::string &path, const char *section, const char *key) {
    char value[1024];
    GetPrivateProfileStringA(section, key, Absent, value, sizeof value, path.c_str());
    return value;
}

std::string IniText(const std::string &path) {
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str()); // what waits in this process's cache
    std::string data = ReadWhole(path) + "\n", text;
    for (size_t at = 0, end; (end = data.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = data.substr(at, end - at);
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (!line.empty())
            text += line + "\n";
    }
    return text;
}

std::string SaverDefaults(const std::string &dir, const std::string &tableOrder) {
    return "[Misc]\nNormal=1\nInstallDirectory=" + dir + "\nMapsDirectory=" + dir + "\\MAPS\nBackgroundMap=" + dir +
           "\\MAPS\\BGROUND.BMP\n[Entries]\nEntryFN000=" + dir + "\\MODELS\\3D.SKY\nEntryPM000=2,350,350,1,0,3,0,0,10,0,270,10,45\n"
           "EntryFN001=" + dir + "\\MODELS\\TORUSF.SKY\nEntryPM001=2,400,400,1,0,1,1,0,10,0,270,10,45\nEntryFN002=" + dir +
           "\\MODELS\\HEARTFG.SKY\nEntryPM002=2,450,450,1,0,3,1,0,10,10,0,0,0\n[Global]\nNoOfEntries=3\nSpeed=10\n"
           "Sequence=0\nTableOrder=" + tableOrder + "\n[Reminder]\nActivated=1\nCaption1=It's been a while since you "
           "visited\nCaption2=Zentrix- you may be missing out on\nCaption3=lots of new stuff - would you like to visit it "
           "now?\nExecFile=http://www.example.com/\nReminderPeriod=1209600\n";
}

bool SeededSince(const std::string &value, long long from) {
    char *end = nullptr;
    long long n = strtoll(value.c_str(), &end, 10);
    return !value.empty() && *end == '\0' && n >= from && n <= (long long)time(nullptr);
}

std::string RegText(HKEY root, const char *key, const char *name) {
    HKEY k;
    DWORD type = 0, size = 0;
    std::string text = Absent;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return text;
    if (RegQueryValueExA(k, name, NULL, &type, NULL, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        RegQueryValueExA(k, name, NULL, &type, (BYTE *)&data[0], &size);
        data.resize(size);
        text = type == REG_SZ ? "" : "<type " + std::to_string(type) + ">";
        text += !data.empty() && data.back() == '\0' ? data.substr(0, size - 1) : data + "<no NUL>";
    }
    RegCloseKey(k);
    return text;
}

void SetReg(HKEY root, const char *key, const char *name, DWORD type, const char *text) {
    HKEY k;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &k, NULL) != ERROR_SUCCESS)
        return;
    if (text)
        RegSetValueExA(k, name, 0, type, (const BYTE *)text, (DWORD)strlen(text) + 1);
    else
        RegDeleteValueA(k, name);
    RegCloseKey(k);
}

std::string LinkText(const std::string &path) {
    std::string text = "<unreadable>";
    CoInitialize(NULL); // once per thread is enough; again is harmless
    IShellLinkA *link;
    IPersistFile *file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&link)))
        return text;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char target[1024] = "", description[1024] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(target, 1024, NULL, SLGP_RAWPATH)) &&
            SUCCEEDED(link->GetDescription(description, 1024)))
            text = std::string(target) + " | " + description;
        file->Release();
    }
    link->Release();
    return text;
}

namespace driver {

bool Poll(DWORD timeoutMs, const std::function<bool()> &done) {
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

static BOOL CALLBACK Collect(HWND w, LPARAM l) {
    Search *s = reinterpret_cast<Search *>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (IsWindowVisible(w) && (!s->processId || owner == s->processId) && (!s->caption || ControlText(w, 0) == s->caption))
        s->found.push_back(w);
    return TRUE;
}

HWND FindVisible(const char *caption) {
    Search s = {caption, 0, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found.empty() ? NULL : s.found[0];
}

bool WaitForWindowGone(const char *caption, DWORD timeoutMs) {
    return Poll(timeoutMs, [&] { return !FindVisible(caption); });
}

std::vector<std::string> WindowsOf(DWORD processId) {
    Search s = {NULL, processId, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    std::vector<std::string> captions;
    for (HWND w : s.found)
        captions.push_back(ControlText(w, 0));
    std::sort(captions.begin(), captions.end());
    return captions;
}

std::string ControlText(HWND window, int id) {
    HWND control = id ? GetDlgItem(window, id) : window;
    char text[4096];
    DWORD_PTR got = 0;
    if (!control || !SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got))
        return "<no control>";
    return std::string(text, got);
}

void SetControlText(HWND window, int id, const char *text) {
    SendMessageTimeoutA(GetDlgItem(window, id), WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
}

void Click(HWND window, int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }
void CloseWindow(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
bool IsDefaultButton(HWND button) { return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }
void PressKey(HWND window, int id, WORD virtualKey) {
    HWND target = id ? GetDlgItem(window, id) : window;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool Flush(HWND button, DWORD timeoutMs) {
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

Process Start(const std::string &commandLine, const char *directory) {
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

int WaitForExit(Process &p, DWORD timeoutMs) {
    DWORD code = (DWORD)-1;
    if (p.handle && WaitForSingleObject(p.handle, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(p.handle, &code);
    Kill(p);
    return (int)code;
}

void Kill(Process &p) {
    if (p.handle) {
        TerminateProcess(p.handle, 1);
        WaitForSingleObject(p.handle, 5000);
        CloseHandle(p.handle);
        p.handle = NULL;
    }
}

BoxWatcher::BoxWatcher(const char *caption, int buttonId)
    : thread_([this, caption = std::string(caption), buttonId] {
          for (; !stop_; Sleep(10))
              if (HWND box = FindVisible(caption.c_str())) {
                  // Recorded before the click: the caller may look as soon as the box is gone.
                  mutex_.lock();
                  texts_.push_back(ControlText(box, 0xFFFF));
                  mutex_.unlock();
                  Click(box, buttonId);
                  WaitForWindowGone(caption.c_str(), 5000);
              }
      }) {}

BoxWatcher::~BoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<std::string> BoxWatcher::Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}
} // namespace driver

void InstallerTest::TearDown() {
    if (program.handle) {
        ADD_FAILURE() << "the installer was still running; windows: " << Windows();
        driver::Kill(program);
    }
}

void InstallerTest::Start(const std::string &program_) {
    program = driver::Start(program_, scratch.c_str());
    ASSERT_TRUE(program.handle) << "cannot start " << program_;
}

std::string InstallerTest::Windows() {
    std::string all;
    for (const std::string &caption : driver::WindowsOf(program.id))
        all += "[" + caption + "] ";
    return all;
}

HWND InstallerTest::Wait(const char *caption, DWORD timeoutMs) {
    HWND w = NULL;
    driver::Poll(timeoutMs, [&] { return (w = driver::FindVisible(caption)) != NULL; });
    EXPECT_TRUE(w) << "no " << caption << "; windows: " << Windows();
    return w;
}

void InstallerTest::Answer(const char *caption, const std::string &text, int button) {
    HWND box = Wait(caption);
    ASSERT_TRUE(box && GetDlgItem(box, button)) << caption;
    EXPECT_EQ(text, driver::ControlText(box, 0xFFFF)) << caption;
    driver::Click(box, button);
    ASSERT_TRUE(driver::WaitForWindowGone(caption, Timeout)) << caption;
}

void InstallerTest::InstallDistribution(const std::string &setup, const char *dir) {
    Start(setup);
    HWND ask = Wait("Skyloop Directory");
    if (dir)
        driver::SetControlText(ask, 100, dir);
    driver::Click(ask, 102);
    Answer("Ready to Install", "Setup will now install all files.", IDOK);
    driver::Click(Wait("Installed OK", 600000), 102); // 9999 entries take a while
    EXPECT_EQ(0, Exit()) << setup;
}
