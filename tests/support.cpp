#include "support.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>

const char *const WinGFiles[6] = {"WING.DLL",    "WINGDE.DLL", "WINGDIB.DRV",
                                  "WINGPAL.WND", "DVA.386",    "WING32.DLL"};

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

static DWORD Kind(const std::string &path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a == INVALID_FILE_ATTRIBUTES ? 0 : a & FILE_ATTRIBUTE_DIRECTORY ? 2 : 1;
}
bool FileExists(const std::string &path) { return Kind(path) == 1; }
bool DirectoryExists(const std::string &path) { return Kind(path) == 2; }
long long FileSize(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a) ? (long long)a.nFileSizeLow : -1;
}

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

Strings FilesIn(const std::string &dir) {
    Strings names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

Strings FilesBelow(const std::string &dir) {
    Strings files;
    for (const std::string &name : FilesIn(dir)) {
        Strings inner =
            DirectoryExists(dir + "\\" + name) ? FilesBelow(dir + "\\" + name) : Strings{dir + "\\" + name};
        files.insert(files.end(), inner.begin(), inner.end());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Differs(const std::string &path, const std::string &expected) {
    bool missing = false;
    std::string data = ReadWhole(path, &missing);
    return missing ? path + " is missing" : data == expected ? "" : path + " differs";
}

Strings Split(const std::string &text, char separator) {
    Strings parts;
    for (size_t at = 0, end; at <= text.size(); at = end + 1) {
        end = std::min(text.find(separator, at), text.size());
        parts.push_back(text.substr(at, end - at));
    }
    return parts;
}

void ExpectFiles(const std::string &dir, const std::string &names, bool only) {
    Strings expected;
    for (const std::string &name : Split(names, ' ')) {
        Strings parts = Split(name + "=P:", '=');
        std::string path = dir + "\\" + parts[0], source = parts[1];
        source.insert(2, "\\");
        EXPECT_EQ(
            "", Differs(path,
                        ReadWhole(source.size() > 3 ? source : source + path.substr(path.rfind('\\') + 1))));
        expected.push_back(path);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(!only || expected == FilesBelow(dir)) << ::testing::PrintToString(FilesBelow(dir));
}

std::string IniValue(const std::string &path, const char *section, const char *key) {
    char value[1024];
    GetPrivateProfileStringA(section, key, Absent, value, sizeof value, path.c_str());
    return value;
}

std::string IniText(const std::string &path) {
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str()); // what waits in this process's cache
    std::string text;
    for (std::string line : Split(ReadWhole(path), '\n')) {
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        text += line.empty() ? "" : line + "\n";
    }
    return text;
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
    text ? RegSetValueExA(k, name, 0, type, (const BYTE *)text, (DWORD)strlen(text) + 1)
         : RegDeleteValueA(k, name);
    RegCloseKey(k);
}

std::string LinkText(const std::string &path) {
    std::string text = "<unreadable>";
    CoInitialize(NULL); // once per thread is enough; again is harmless
    IShellLinkA *link;
    IPersistFile *file;
    if (FAILED(
            CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&link)))
        return text;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char target[1024] = "", description[1024] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, 1024, NULL, SLGP_RAWPATH)) &&
            SUCCEEDED(link->GetDescription(description, 1024)))
            text = std::string(target) + " | " + description;
        file->Release();
    }
    link->Release();
    return text;
}

Snapshot Contents(const Strings &paths) {
    Snapshot files;
    for (const std::string &path : paths) {
        bool missing;
        std::string data = ReadWhole(path, &missing);
        files[path] = missing ? Absent : path.rfind(".lnk") + 4 == path.size() ? LinkText(path) : data;
    }
    return files;
}

Strings Differences(const Snapshot &a, const Snapshot &b) {
    Strings paths;
    for (const auto &f : a)
        if (!b.count(f.first) || b.at(f.first) != f.second)
            paths.push_back(f.first);
    for (const auto &f : b)
        if (!a.count(f.first))
            paths.push_back(f.first);
    return paths;
}

std::string LargeSystemIni() {
    std::string ini = "[boot]\r\nshell=x\r\n[386Enh]\r\n";
    for (int i = 0; i < 30000; i++)
        ini += "[" + std::to_string(i) + "]\r\n";
    return ini;
}

namespace driver {
bool Poll(DWORD timeoutMs, const std::function<bool()> &done) {
    for (DWORD start = GetTickCount(); !done(); Sleep(10))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

struct Search {
    const char *caption;
    DWORD processId;
    int control;
    std::vector<HWND> found;
};

static BOOL CALLBACK Collect(HWND w, LPARAM l) {
    Search *s = reinterpret_cast<Search *>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (IsWindowVisible(w) && (!s->processId || owner == s->processId) &&
        (!s->control || GetDlgItem(w, s->control)) && (!s->caption || ControlText(w, 0) == s->caption))
        s->found.push_back(w);
    return TRUE;
}

static std::vector<HWND> Find(const char *caption, DWORD processId, int control) {
    Search s = {caption, processId, control, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindVisible(const char *caption, DWORD processId, int control) {
    std::vector<HWND> found = Find(caption, processId, control);
    return found.empty() ? NULL : found[0];
}

Strings WindowsOf(DWORD processId) {
    Strings captions;
    for (HWND w : Find(NULL, processId, 0))
        captions.push_back(ControlText(w, 0));
    std::sort(captions.begin(), captions.end());
    return captions;
}

std::string ControlText(HWND window, int id) {
    char text[8192];
    DWORD_PTR got = 0;
    HWND c = id ? GetDlgItem(window, id) : window;
    if (!c || !SendMessageTimeoutA(c, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got))
        return "<no control>";
    return std::string(text, got);
}

void SetControlText(HWND window, int id, const char *text) {
    SendMessageTimeoutA(GetDlgItem(window, id), WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
}

void Click(HWND window, int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }
void Close(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
bool IsDefaultButton(HWND b) { return (GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }
void PressKey(HWND window, int id, WORD virtualKey) {
    HWND target = id ? GetDlgItem(window, id) : window;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool Flush(HWND button) {
    // The button's pushed state marks how far its queue has been handled.
    for (bool pushed : {true, false, true, false})
        if (!PostMessageA(button, BM_SETSTATE, pushed, 0) || !Poll(Timeout, [&] {
                DWORD_PTR state = pushed ? 0 : BST_PUSHED;
                SendMessageTimeoutA(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state);
                return ((state & BST_PUSHED) != 0) == pushed;
            }))
            return false;
    return true;
}

BoxWatcher::BoxWatcher(const char *caption)
    : thread_([this, caption = std::string(caption ? caption : "")] {
          for (; !stop_; Sleep(10))
              for (HWND box : Find(caption.empty() ? NULL : caption.c_str(), 0, 0xFFFF)) {
                  if (!GetDlgItem(box, IDOK))
                      continue; // one that asks
                  // Recorded before the click: the caller may look as soon as the box is gone.
                  std::lock_guard<std::mutex> lock(mutex_);
                  texts_.push_back(ControlText(box, 0) + ": " + ControlText(box, 0xFFFF));
                  Click(box, IDOK);
                  Poll(5000, [box] { return !IsWindowVisible(box); });
              }
      }) {}

BoxWatcher::~BoxWatcher() {
    stop_ = true;
    thread_.join();
}

Strings BoxWatcher::Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}
} // namespace driver

void InstallerTest::TearDown() {
    if (process) {
        ADD_FAILURE() << "still running: " << ::testing::PrintToString(driver::WindowsOf(processId));
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
        CloseHandle(thread);
        process = NULL;
    }
}

void InstallerTest::Start(const std::string &program) {
    // Wine reports the system OS names, so that the Windows 95 roads run too.
    char os[16] = "";
    GetEnvironmentVariableA("OS", os, sizeof os);
    std::string key = "Software\\Wine\\AppDefaults\\" + program.substr(program.rfind('\\') + 1);
    SetReg(HKEY_CURRENT_USER, key.c_str(), "Version", REG_SZ, strcmp(os, "Windows_NT") ? "win95" : "nt40");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = program;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, scratch.c_str(), &si, &pi))
        throw std::runtime_error("cannot start " + program);
    thread = pi.hThread;
    process = pi.hProcess;
    processId = pi.dwProcessId;
}

int InstallerTest::Exit() {
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process, driver::Timeout) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        CloseHandle(thread);
        process = NULL;
    }
    TearDown(); // one that still runs is a failure, and killed
    return (int)code;
}

HWND InstallerTest::Wait(const char *caption, int control) {
    HWND w = NULL;
    if (!driver::Poll(driver::Timeout,
                      [&] { return (w = driver::FindVisible(caption, processId, control)) != NULL; }))
        throw std::runtime_error(std::string("no ") + caption + " in " + ::testing::PrintToString(
                                                                              driver::WindowsOf(processId)));
    return w;
}

void InstallerTest::Answer(const char *caption, const std::string &text, int button) {
    HWND box = Wait(caption, 0xFFFF);
    EXPECT_EQ(text, driver::ControlText(box, 0xFFFF)) << caption;
    driver::Click(box, button);
    if (!driver::Poll(driver::Timeout, [box] { return !IsWindow(box); }))
        throw std::runtime_error(std::string(caption) + " stays");
}

std::string InstallerTest::InstallDistribution(const std::string &setup, const char *dir) {
    Start(setup);
    HWND ask = Wait("Skyloop Directory"), end = NULL, box = NULL;
    if (dir)
        driver::SetControlText(ask, 100, dir);
    driver::Click(ask, 102);
    Answer("Ready to Install", "Setup will now install all files.", IDOK);
    if (!driver::Poll(driver::Timeout, [&] {
            return (end = driver::FindVisible("Installed OK", processId)) ||
                   (box = driver::FindVisible("Skyloop Setup", processId, 0xFFFF));
        }))
        throw std::runtime_error("no end of " + setup);
    std::string listed = box ? driver::ControlText(box, 0xFFFF) : "";
    driver::Click(box ? box : end, box ? IDOK : 102);
    EXPECT_EQ(box ? 1 : 0, Exit()) << setup;
    return listed;
}

void InstallerTest::KillPasses(const Points &points, const Strings &dirs, const Strings &files,
                               const Snapshot &initial, const Snapshot &also,
                               const std::function<void()> &start, const std::function<void()> &finish) {
    auto now = [&](bool reset) { // with reset, as a pass starts
        Strings paths = files;
        for (const std::string &path : reset ? files : Strings{})
            DeleteFileA(path.c_str());
        for (const std::string &dir : dirs) {
            if (reset)
                RemoveTree(dir), CreateDirectoryA(dir.c_str(), NULL);
            for (const std::string &path : FilesBelow(dir))
                paths.push_back(path);
        }
        for (const auto &f : initial) {
            paths.push_back(f.first);
            if (reset)
                WriteWhole(f.first, f.second);
        }
        return Contents(paths);
    };
    now(true);
    finish();
    const Snapshot through = now(false);
    for (size_t k = 0; k < points.size(); k++) {
        now(true);
        start();
        // In steps, the points looked at while the installer stands still: it dies where they were seen.
        auto holds = [&] {
            return std::any_of(points.begin() + k, points.end(), [](auto &p) { return p(); });
        };
        CONTEXT stopped;
        stopped.ContextFlags = CONTEXT_CONTROL;
        for (DWORD began = GetTickCount(); !holds() && GetTickCount() - began < driver::Timeout;)
            ResumeThread(thread), Sleep(1), SuspendThread(thread), GetThreadContext(thread, &stopped);
        bool reached = holds();
        TerminateProcess(process, 1);
        Exit();
        ASSERT_TRUE(reached) << "point " << k;
        for (const auto &f : initial) {
            bool missing = false;
            std::string data = ReadWhole(f.first, &missing);
            if (missing) // cut short on the backup road: the backup, which the next start puts back
                data = ReadWhole(f.first.substr(0, f.first.rfind('.')) + ".QQB");
            bool whole = data == f.second || data == through.at(f.first) ||
                         (also.count(f.first) && also.at(f.first) == data);
            EXPECT_TRUE(whole) << f.first << ", killed at point " << k;
        }
        finish();
        EXPECT_EQ(Strings{}, Differences(through, now(false))) << "killed at point " << k;
    }
}
