#include "support.h"

#include <shlobj.h>
#include <stdlib.h>

#include <algorithm>

std::string ReadWhole(const std::string &path, bool *missing)
{
    std::string data;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (missing)
        *missing = h == INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE)
        return data;
    char block[65536];
    DWORD got;
    while (ReadFile(h, block, sizeof block, &got, NULL) && got > 0)
        data.append(block, got);
    CloseHandle(h);
    return data;
}

bool WriteWhole(const std::string &path, const std::string &data)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, data.data(), (DWORD)data.size(), &written, NULL);
    CloseHandle(h);
    return ok && written == data.size();
}

bool FileExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

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
    CreateDirectoryA("C:\\tests", NULL);
    std::string dir = "C:\\tests\\" + name;
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::vector<std::string> FilesIn(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Differs(const std::string &path, const std::string &expected)
{
    bool missing = false;
    std::string data = ReadWhole(path, &missing);
    if (missing)
        return path + " is missing";
    if (data != expected)
        return path + " differs (" + std::to_string(data.size()) + " bytes, expected " +
               std::to_string(expected.size()) + ")";
    return "";
}

std::string SystemDir()
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

static std::string Trim(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

static std::vector<std::string> NonBlankLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string data = ReadWhole(path);
    for (size_t at = 0; at < data.size();) {
        size_t end = data.find('\n', at);
        if (end == std::string::npos)
            end = data.size();
        std::string line = Trim(data.substr(at, end - at));
        if (!line.empty())
            lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

std::string IniValue(const std::string &path, const char *section, const char *key)
{
    // What a program wrote through the profile functions may wait in their cache.
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str());
    std::string current;
    for (const std::string &line : NonBlankLines(path)) {
        size_t eq = line.find('=');
        if (line[0] == '[')
            current = line.substr(1, line.find(']') - 1);
        else if (eq != std::string::npos && _stricmp(current.c_str(), section) == 0 &&
                 _stricmp(Trim(line.substr(0, eq)).c_str(), key) == 0)
            return line.substr(eq + 1);
    }
    return Absent;
}

std::string IniText(const std::string &path)
{
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str());
    std::string text;
    for (const std::string &line : NonBlankLines(path))
        text += line + "\n";
    return text;
}

long long UnixNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    unsigned long long ticks = ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (long long)((ticks - 116444736000000000ULL) / 10000000ULL);
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
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return Absent;
    DWORD type = 0, size = 0;
    std::string text = Absent;
    if (RegQueryValueExA(k, name, NULL, &type, NULL, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        RegQueryValueExA(k, name, NULL, &type, (BYTE *)&data[0], &size);
        data.resize(size);
        text = type == REG_SZ ? "" : "<type " + std::to_string(type) + ">";
        if (!data.empty() && data.back() == '\0')
            text += data.substr(0, data.size() - 1);
        else
            text += data + "<no NUL>";
    }
    RegCloseKey(k);
    return text;
}

void SetReg(HKEY root, const char *key, const char *name, DWORD type, const std::string &data)
{
    HKEY k;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &k, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(k, name, 0, type, (const BYTE *)data.data(), (DWORD)data.size());
    RegCloseKey(k);
}

void DeleteReg(HKEY root, const char *key, const char *name)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(k, name);
    RegCloseKey(k);
}

std::string LinkText(const std::string &path)
{
    std::string text = "<unreadable>";
    IShellLinkA *link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void **)&link)))
        return text;
    IPersistFile *file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char target[1024] = "", description[1024] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, sizeof target, NULL, SLGP_RAWPATH)) &&
            SUCCEEDED(link->GetDescription(description, sizeof description)))
            text = std::string(target) + " | " + description;
        file->Release();
    }
    link->Release();
    return text;
}

const char *const WinGFiles[6] = {"WING.DLL", "WINGDE.DLL", "WINGDIB.DRV",
                                  "WINGPAL.WND", "DVA.386", "WING32.DLL"};

void StageWinGMedia(const std::string &dir)
{
    for (std::string name : WinGFiles) {
        name.back() = '_';
        CopyFileA(("T:\\wing\\" + name).c_str(), (dir + "\\" + name).c_str(), FALSE);
    }
}
