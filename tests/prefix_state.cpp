#include "prefix_state.h"

#include <algorithm>

#include "test_files.h"

OsVariable::OsVariable()
{
    char buffer[32768];
    DWORD n = GetEnvironmentVariableA("OS", buffer, sizeof buffer);
    had_ = n > 0 && n < sizeof buffer;
    if (had_)
        value_ = buffer;
}

OsVariable::~OsVariable() { SetEnvironmentVariableA("OS", had_ ? value_.c_str() : NULL); }

void OsVariable::Set(const char *value) { SetEnvironmentVariableA("OS", value); }

SavedFile::SavedFile(const std::string &path) : path_(path), original_(path)
{
    bool missing;
    data_ = ReadWhole(path, &missing);
    existed_ = !missing;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        // The name as the disk spells it: a replacement may have changed its case.
        original_ = path.substr(0, path.rfind('\\') + 1) + found.cFileName;
        FindClose(find);
    }
}

SavedFile::~SavedFile()
{
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path_.c_str());
    if (existed_)
        WriteWhole(original_, data_);
}

RegValue ReadValue(const char *subKey, const char *name)
{
    return ReadValue(HKEY_CURRENT_USER, subKey, name);
}

RegValue ReadValue(HKEY root, const char *subKey, const char *name)
{
    RegValue v{false, 0, ""};
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return v;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, &v.type, NULL, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + 1);
        if (RegQueryValueExA(key, name, NULL, &v.type, data.data(), &size) == ERROR_SUCCESS) {
            v.exists = true;
            v.data.assign(reinterpret_cast<const char *>(data.data()), size);
        }
    }
    RegCloseKey(key);
    return v;
}

void WriteValue(const char *subKey, const char *name, DWORD type, const std::string &data)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void DeleteValue(const char *subKey, const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

SavedValue::SavedValue(const char *subKey, const char *name) : subKey_(subKey), name_(name)
{
    RegValue v = ReadValue(subKey, name);
    existed_ = v.exists;
    type_ = v.type;
    data_.assign(v.data.begin(), v.data.end());
}

SavedValue::~SavedValue()
{
    if (existed_)
        WriteValue(subKey_.c_str(), name_.c_str(), type_, std::string(data_.begin(), data_.end()));
    else
        DeleteValue(subKey_.c_str(), name_.c_str());
}

namespace {

bool SaveTree(HKEY parent, const std::string &name, SavedKeyTree::Node &node)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    node.name = name;
    for (DWORD i = 0;; i++) {
        char valueName[16384];
        DWORD nameSize = sizeof valueName, type = 0, size = 0;
        if (RegEnumValueA(key, i, valueName, &nameSize, NULL, &type, NULL, &size) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(size + 1);
        nameSize = sizeof valueName;
        if (RegEnumValueA(key, i, valueName, &nameSize, NULL, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        node.values.push_back({valueName, type, std::string(data.begin(), data.begin() + size)});
    }
    for (DWORD i = 0;; i++) {
        char childName[256];
        DWORD size = sizeof childName;
        if (RegEnumKeyExA(key, i, childName, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        SavedKeyTree::Node child;
        if (SaveTree(key, childName, child))
            node.children.push_back(child);
    }
    RegCloseKey(key);
    return true;
}

void RestoreTree(HKEY parent, const SavedKeyTree::Node &node)
{
    HKEY key;
    if (RegCreateKeyExA(parent, node.name.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    for (const SavedKeyTree::Value &v : node.values)
        RegSetValueExA(key, v.name.c_str(), 0, v.type,
                       reinterpret_cast<const BYTE *>(v.data.data()),
                       static_cast<DWORD>(v.data.size()));
    for (const SavedKeyTree::Node &child : node.children)
        RestoreTree(key, child);
    RegCloseKey(key);
}

} // namespace

SavedKeyTree::SavedKeyTree(HKEY root, const std::string &subKey)
    : root_(root), subKey_(subKey), existed_(SaveTree(root, subKey, saved_))
{
}

SavedKeyTree::~SavedKeyTree()
{
    RegDeleteTreeA(root_, subKey_.c_str());
    if (existed_)
        RestoreTree(root_, saved_);
}

MadeFolders::MadeFolders(const std::vector<std::string> &make,
                         const std::vector<std::string> &appear)
{
    for (const std::string &p : make)
        if (!DirectoryExists(p) && CreateDirectoryA(p.c_str(), NULL))
            made_.push_back(p);
    for (const std::string &p : appear)
        if (!DirectoryExists(p))
            made_.push_back(p);
}

MadeFolders::~MadeFolders()
{
    for (auto p = made_.rbegin(); p != made_.rend(); ++p)
        RemoveTree(*p);
}

std::string WindowsDirectory()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string SystemDirectory()
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

const char *const kWinGFiles[6] = {"WING.DLL", "WINGDE.DLL", "WINGDIB.DRV",
                                   "WINGPAL.WND", "DVA.386", "WING32.DLL"};

void StageWinGMedia(const std::string &dir)
{
    for (const char *name : kWinGFiles) {
        std::string compressed = name;
        compressed.back() = '_';
        CopyFileA(("T:\\wing\\" + compressed).c_str(), (dir + "\\" + compressed).c_str(), FALSE);
    }
}

std::string WinGOriginal(const char *name)
{
    return ReadWhole(std::string("T:\\wing\\orig\\") + name);
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
