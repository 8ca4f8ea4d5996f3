// Guards that put back what a test changes in the Wine prefix (environment,
// files, registry values, folders), so that test order does not matter.
#ifndef PREFIX_STATE_H
#define PREFIX_STATE_H

#include <windows.h>

#include <string>
#include <vector>

// This process's OS variable; Set(nullptr) removes it.
class OsVariable {
public:
    OsVariable();
    ~OsVariable();
    void Set(const char *value);

private:
    bool had_;
    std::string value_;
};

// A file's bytes, written back (or the file removed) on destruction.
class SavedFile {
public:
    explicit SavedFile(const std::string &path);
    ~SavedFile();

private:
    std::string path_, original_, data_;
    bool existed_;
};

// A value under HKEY_CURRENT_USER, restored (or deleted) on destruction.
class SavedValue {
public:
    SavedValue(const char *subKey, const char *name);
    ~SavedValue();

private:
    std::string subKey_, name_;
    bool existed_;
    DWORD type_;
    std::vector<BYTE> data_;
};

// Creates the folders in make that are missing, parents first; on destruction
// removes those and whichever folders in appear did not exist at construction.
class MadeFolders {
public:
    explicit MadeFolders(const std::vector<std::string> &make,
                         const std::vector<std::string> &appear = {});
    ~MadeFolders();

private:
    std::vector<std::string> made_;
};

struct RegValue {
    bool exists;
    DWORD type;
    std::string data; // raw bytes, terminating NUL included
};
// Under HKEY_CURRENT_USER unless a root is given; a NULL name is the default value.
RegValue ReadValue(const char *subKey, const char *name);
RegValue ReadValue(HKEY root, const char *subKey, const char *name);

// A registry key with all its values and sub-keys, put back as it was (or
// deleted, when it did not exist) on destruction.
class SavedKeyTree {
public:
    SavedKeyTree(HKEY root, const std::string &subKey);
    ~SavedKeyTree();
    SavedKeyTree(const SavedKeyTree &) = delete;
    SavedKeyTree &operator=(const SavedKeyTree &) = delete;

    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    struct Node {
        std::string name;
        std::vector<Value> values;
        std::vector<Node> children;
    };

private:
    HKEY root_;
    std::string subKey_;
    bool existed_;
    Node saved_;
};
void WriteValue(const char *subKey, const char *name, DWORD type, const std::string &data);
void DeleteValue(const char *subKey, const char *name);

// Names in a folder, sorted, without "." and "..".
std::vector<std::string> FilesIn(const std::string &dir);

std::string WindowsDirectory();
std::string SystemDirectory();

// The WinG stand-ins, as the media holds them, copied into dir.
void StageWinGMedia(const std::string &dir);
// What each WinG file must look like once installed.
std::string WinGOriginal(const char *name);
extern const char *const kWinGFiles[6];

#endif
