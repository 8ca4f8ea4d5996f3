#include "support.h"

#include <shlobj.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>

std::string SystemDir()
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string ReadWhole(const std::string &path, bool *missing)
{
    std::ifstream in(path, std::ios::binary);
    if (missing)
        *missing = !in;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteWhole(const std::string &path, const std::string &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out.write(data.data(), data.size()) && out.flush();
}

static DWORD Attributes(const std::string &path) { return GetFileAttributesA(path.c_str()); }
bool FileExists(const std::string &path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES && !(Attributes(path) & FILE_ATTRIBUTE_DIRECTORY); }
bool DirectoryExists(const std::string &path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES && (Attributes(path) & FILE_ATTRIBUTE_DIRECTORY); }

void RemoveTree(const std::string &path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str()))
        return;
    for (const std::string &name : FilesIn(path))
        RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

std::string FreshDirectory(const std::string &name)
{
    std::string dir = "C:\\tests\\" + name;
    CreateDirectoryA("C:\\tests", NULL);
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::vector<std::string> FilesIn(const std::string &dir)
{
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

std::string Differs(const std::string &path, const std::string &expected)
{
    bool missing = false;
    std::string data = ReadWhole(path, &missing);
    if (missing || data != expected)
        return path + (missing ? " is missing" : " differs (" + std::to_string(data.size()) + " bytes, expected " +
                                                     std::to_string(expected.size()) + ")");
    return "";
}

std::string IniValue(const std::string &path, const char *section, const char *key)
{
    char value[1024];
    GetPrivateProfileStringA(section, key, Absent, value, sizeof value, path.c_str());
    return value;
}

std::string IniText(const std::string &path)
{
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

long long UnixNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (long long)((((unsigned long long)ft.dwHighDateTime << 32 | ft.dwLowDateTime) - 116444736000000000ULL) /
                       10000000ULL);
}

bool SeededBetween(const std::string &value, long long from, long long to)
{
    char *end = nullptr;
    long long n = strtoll(value.c_str(), &end, 10);
    return !value.empty() && *end == '\0' && n >= from && n <= to;
}

std::string RegText(HKEY root, const char *key, const char *name)
{
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

void SetReg(HKEY root, const char *key, const char *name, DWORD type, const char *text)
{
    HKEY k;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &k, NULL) != ERROR_SUCCESS)
        return;
    if (text)
        RegSetValueExA(k, name, 0, type, (const BYTE *)text, (DWORD)strlen(text) + 1);
    else
        RegDeleteValueA(k, name);
    RegCloseKey(k);
}

std::string LinkText(const std::string &path)
{
    std::string text = "<unreadable>";
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

const char *const WinGFiles[6] = {"WING.DLL", "WINGDE.DLL", "WINGDIB.DRV", "WINGPAL.WND", "DVA.386", "WING32.DLL"};

void InstallerTest::TearDown()
{
    if (program.handle) {
        ADD_FAILURE() << "the installer was still running; windows: " << Windows();
        driver::Kill(program);
    }
}

void InstallerTest::Start(const std::string &program_)
{
    CoInitialize(NULL);
    program = driver::Start(program_, scratch.c_str());
    ASSERT_TRUE(program.handle) << "cannot start " << program_;
}

std::string InstallerTest::Windows()
{
    std::string all;
    for (const std::string &caption : driver::WindowsOf(program.id))
        all += "[" + caption + "] ";
    return all;
}

HWND InstallerTest::Wait(const char *caption, DWORD timeoutMs)
{
    HWND w = driver::WaitForWindow(caption, timeoutMs);
    EXPECT_TRUE(w) << "no " << caption << "; windows: " << Windows();
    return w;
}

void InstallerTest::Answer(const char *caption, const std::string &text, int button)
{
    std::string shown;
    ASSERT_TRUE(driver::AnswerMessageBox(caption, button, Timeout, &shown)) << "no " << caption << ": " << Windows();
    EXPECT_EQ(text, shown) << caption;
    ASSERT_TRUE(driver::WaitForWindowGone(caption, Timeout)) << caption;
}
