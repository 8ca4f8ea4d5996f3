// The demo's scripted walk through the suite installer: runs D:\SETUP.EXE,
// proceeds on every page into its default directory, saves a screenshot of each
// page, prompt and finish box, and prints what it saw and what the run left
// behind.
//
//   demo_walkthrough SHOTDIR    walk through and report (screenshots as BMP files)
//   demo_walkthrough --report   only report what an earlier run left behind
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "driver.h"
#include "shell_links.h"
#include "test_files.h"

namespace {

const DWORD StepTimeout = 120000; // a product step expands many files
const DWORD WindowTimeout = 30000;

const char *const PageCaptions[] = {
    "SKYBuilder Setup - Installing Modelex",
    "SKYBuilder Setup - Installing Skyloop",
    "SKYBuilder Setup - Installing SKY Builder Files",
};
const char *const PageNames[] = {"modeller-page", "saver-page", "builder-page"};
const char *const FinishCaptions[] = {"SKYBuilder Setup - Sucessful", "SKYBuilder Setup"};
const char *const DefaultDirs[] = {"c:\\modelex", "c:\\skyloop", "c:\\skybuild"};

std::string shotDir;
int shotCount = 0;
std::vector<std::string> seen; // the walk, one line per event
std::vector<std::string> chosenDirs; // the pages' directories as proceeded with

void Note(const std::string &line)
{
    seen.push_back(line);
}

bool WriteBitmap(const std::string &path, int width, int height, const void *bits, DWORD size)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    std::string data(reinterpret_cast<const char *>(&file), sizeof file);
    data.append(reinterpret_cast<const char *>(&info), sizeof info);
    data.append(static_cast<const char *>(bits), size);
    return WriteWhole(path, data);
}

// Saves what the screen shows of window as SHOTDIR\NN-name.bmp.
void Screenshot(HWND window, const char *name)
{
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300); // let the display catch up; this is a demo, not a test
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    shotCount++;
    std::string file = (shotCount < 10 ? "0" : "") + std::to_string(shotCount) + "-" + name + ".bmp";
    DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    if (!WriteBitmap(shotDir + "\\" + file, width, height, bits, size))
        Note("could not save screenshot " + file);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

bool IsOneOf(const std::string &caption, const char *const *list, int count)
{
    for (int i = 0; i < count; i++)
        if (caption == list[i])
            return true;
    return false;
}

// Answers the boxes a page's Proceed brings up until the page has gone.
bool ProceedThrough(const driver::Process &setup, HWND page)
{
    DWORD start = GetTickCount();
    bool promptShot = false;
    while (IsWindow(page) && IsWindowVisible(page)) {
        for (HWND w : driver::VisibleWindowsOf(setup.id)) {
            // Message boxes only: their text is the static 0xFFFF.
            std::string caption = driver::ControlText(w, 0);
            if (!GetDlgItem(w, 0xFFFF) || IsOneOf(caption, PageCaptions, 3) ||
                IsOneOf(caption, FinishCaptions, 2))
                continue;
            std::string text = driver::ControlText(w, 0xFFFF);
            int button = GetDlgItem(w, IDYES) ? IDYES : IDOK;
            if (caption == "New Directory?" && !promptShot) {
                Screenshot(w, "new-directory");
                promptShot = true;
            }
            Note("  box \"" + caption + "\": " + text + (button == IDYES ? " -> Yes" : " -> OK"));
            driver::Click(w, button);
            driver::WaitForWindowGone(caption.c_str(), WindowTimeout);
        }
        if (GetTickCount() - start > StepTimeout)
            return false;
        Sleep(50);
    }
    return true;
}

int Walk()
{
    driver::Process setup = driver::Start("D:\\SETUP.EXE", "C:\\");
    if (!setup.handle) {
        printf("cannot start D:\\SETUP.EXE (error %lu)\n", GetLastError());
        return 1;
    }
    for (int i = 0; i < 3; i++) {
        HWND page = driver::WaitForWindow(PageCaptions[i], WindowTimeout);
        if (!page) {
            printf("the page \"%s\" did not appear; windows: %s\n", PageCaptions[i],
                   driver::VisibleCaptions().c_str());
            driver::Kill(setup);
            return 1;
        }
        chosenDirs.push_back(driver::ControlText(page, 102));
        Note("page \"" + std::string(PageCaptions[i]) + "\", directory " + chosenDirs.back());
        Screenshot(page, PageNames[i]);
        driver::Click(page, IDOK);
        if (!ProceedThrough(setup, page)) {
            printf("the page \"%s\" did not close\n", PageCaptions[i]);
            driver::Kill(setup);
            return 1;
        }
    }
    std::vector<std::string> finish(FinishCaptions, FinishCaptions + 2);
    HWND box = NULL;
    int which = driver::WaitForAnyWindow(finish, WindowTimeout, &box);
    if (which < 0) {
        printf("no finish box; windows: %s\n", driver::VisibleCaptions().c_str());
        driver::Kill(setup);
        return 1;
    }
    Note("finish box \"" + finish[which] + "\": " + driver::ControlText(box, 7));
    Screenshot(box, which == 0 ? "finish-ok" : "finish-error");
    driver::Click(box, IDOK);
    int code = driver::WaitForExit(setup, WindowTimeout);
    Note("setup.exe ended with exit code " + std::to_string(code));
    return code == 0 ? 0 : 1;
}

// What the run left behind. Each report prints its own lines; steps that
// install something add a report here.
std::string WindowsPath(const char *name)
{
    char dir[MAX_PATH] = "";
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

void ReportBuilderSettings()
{
    char value[MAX_PATH + 1] = "";
    std::string file = WindowsPath("skybuild.ini");
    if (!FileExists(file)) {
        printf("  %s: not written\n", file.c_str());
        return;
    }
    GetPrivateProfileStringA("Misc", "CreateDir", "<absent>", value, sizeof value, file.c_str());
    printf("  %s: [Misc] CreateDir=%s\n", file.c_str(), value);
}

// Number of files under dir, all levels down.
int CountFiles(const std::string &dir)
{
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += CountFiles(dir + "\\" + name);
        else
            count++;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return count;
}

void ReportDirectories()
{
    std::vector<std::string> dirs = chosenDirs;
    if (dirs.empty())
        dirs.assign(DefaultDirs, DefaultDirs + 3);
    for (const std::string &dir : dirs) {
        if (!DirectoryExists(dir)) {
            printf("  %s: no such directory\n", dir.c_str());
            continue;
        }
        printf("  %s: %d files\n", dir.c_str(), CountFiles(dir));
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                printf("    %s\\ (%d files)\n", name.c_str(), CountFiles(dir + "\\" + name));
            else
                printf("    %s (%lu bytes)\n", name.c_str(), found.nFileSizeLow);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
}

// The default value of a key under HKEY_CLASSES_ROOT, as text.
std::string ClassText(const char *key)
{
    char text[1024] = "";
    DWORD size = sizeof text - 1, type = 0;
    HKEY k;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return "<no such key>";
    LONG r = RegQueryValueExA(k, NULL, NULL, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS)
        return "<no value>";
    return type == REG_SZ ? "\"" + std::string(text) + "\"" : "<not text>";
}

void ReportModeller()
{
    printf("  file type:\n");
    for (const char *key : {".sky", "Modelex.3DFile", "Modelex.3DFile\\Shell\\Open\\Command"})
        printf("    HKEY_CLASSES_ROOT\\%s = %s\n", key, ClassText(key).c_str());

    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    printf("  WinG runtime in %s:\n", system);
    for (const char *name :
         {"WING.DLL", "WINGDE.DLL", "WINGDIB.DRV", "WINGPAL.WND", "DVA.386", "WING32.DLL"}) {
        bool missing = false;
        std::string data = ReadWhole(std::string(system) + "\\" + name, &missing);
        if (missing)
            printf("    %s: missing\n", name);
        else
            printf("    %s (%lu bytes)\n", name, static_cast<unsigned long>(data.size()));
    }

    std::string settings = WindowsPath("MODELEX.INI");
    printf("  %s: %s\n", settings.c_str(), FileExists(settings) ? "present" : "absent");

    bool anyFolder = false;
    for (const char *layout : {"DESKTOP\\Modelex", "Profiles\\All Users\\DESKTOP\\Modelex"}) {
        std::string folder = WindowsPath(layout);
        if (!DirectoryExists(folder))
            continue;
        anyFolder = true;
        printf("  desktop folder %s:\n", folder.c_str());
        for (const char *link : {"Modelex.lnk", "Modelex Help.lnk", "Read Me.lnk"}) {
            Link l = ReadLink(folder + "\\" + link);
            if (!l.loaded)
                printf("    %s: missing\n", link);
            else
                printf("    %s -> %s (\"%s\")\n", link, l.target.c_str(), l.description.c_str());
        }
    }
    if (!anyFolder)
        printf("  no Modelex desktop folder\n");
}

// The screen saver: the copy the system runs, what makes it current, the
// saver settings file and the desktop links.
void ReportScreenSaver()
{
    std::string saver = WindowsPath("SKYLOOP.SCR");
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (GetFileAttributesExA(saver.c_str(), GetFileExInfoStandard, &info))
        printf("  %s (%lu bytes)\n", saver.c_str(), info.nFileSizeLow);
    else
        printf("  %s: missing\n", saver.c_str());

    char value[MAX_PATH + 1] = "";
    std::string systemIni = WindowsPath("system.ini");
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "<absent>", value, sizeof value,
                             systemIni.c_str());
    printf("  %s: [boot] SCRNSAVE.EXE=%s\n", systemIni.c_str(), value);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        for (const char *name : {"ScreenSaveActive", "ScreenSaveTimeOut", "SCRNSAVE.EXE"}) {
            DWORD type, size = sizeof value - 1;
            ZeroMemory(value, sizeof value);
            bool found = RegQueryValueExA(key, name, NULL, &type, (BYTE *)value, &size) ==
                         ERROR_SUCCESS;
            printf("  HKCU\\Control Panel\\Desktop %s=%s\n", name,
                   found ? (type == REG_SZ ? value : "<not text>") : "<absent>");
        }
        RegCloseKey(key);
    }

    std::string settings = WindowsPath("SKYLOOP.INI");
    bool missing = false;
    std::string text = ReadWhole(settings, &missing);
    printf("  %s:%s\n", settings.c_str(), missing ? " not written" : "");
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            printf("    %s\n", line.c_str());
    }

    CoInitialize(NULL);
    for (const char *layout : {"DESKTOP\\Skyloop", "Profiles\\All Users\\DESKTOP\\Skyloop"}) {
        std::string folder = WindowsPath(layout);
        if (!DirectoryExists(folder))
            continue;
        printf("  %s:\n", folder.c_str());
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*.lnk").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            Link link = ReadLink(folder + "\\" + found.cFileName);
            printf("    %s -> %s (\"%s\")\n", found.cFileName,
                   link.loaded ? link.target.c_str() : "<unreadable>", link.description.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
}

struct Report {
    const char *title;
    void (*print)(void);
};

const Report Reports[] = {
    {"Installation directories", ReportDirectories},
    {"Modeller step", ReportModeller},
    {"Screen saver", ReportScreenSaver},
    {"Builder settings", ReportBuilderSettings},
};

void PrintLeftBehind()
{
    printf("What the run left behind:\n");
    for (const Report &r : Reports) {
        printf(" %s\n", r.title);
        r.print();
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: demo_walkthrough SHOTDIR | --report\n");
        return 2;
    }
    int result = 0;
    CoInitialize(NULL); // the report reads the desktop shortcuts
    if (strcmp(argv[1], "--report") != 0) {
        shotDir = argv[1];
        result = Walk();
        printf("The walk through setup.exe:\n");
        for (const std::string &line : seen)
            printf(" %s\n", line.c_str());
    }
    PrintLeftBehind();
    fflush(stdout);
    return result;
}
