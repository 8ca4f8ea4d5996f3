#include <string.h>

#include <shlobj.h>

#include "toolkit.h"

void GetOsName(char *osName, int capacity)
{
    if (capacity <= 0)
        return;
    DWORD n = GetEnvironmentVariableA("OS", osName, (DWORD)capacity);
    if (n == 0 || n >= (DWORD)capacity)
        StringCchCopyA(osName, capacity, "Windows_95");
}

BOOL ResolveDesktopFolder(const char *folderName, char *desktopFolder, int capacity)
{
    if (capacity <= 0)
        return FALSE;
    char osName[500];
    GetOsName(osName, OsNameCapacity < (int)sizeof osName ? OsNameCapacity : (int)sizeof osName);
    const char *part = strcmp(osName, "Windows_NT") == 0 ? "\\Profiles\\All Users\\DESKTOP\\"
                                                          : "\\DESKTOP\\";

    UINT n = GetWindowsDirectoryA(desktopFolder, (UINT)capacity);
    if (n == 0 || n >= (UINT)capacity || FAILED(StringCchCatA(desktopFolder, capacity, part)) ||
        FAILED(StringCchCatA(desktopFolder, capacity, folderName))) {
        // A cut-off folder would put the links somewhere else.
        desktopFolder[0] = '\0';
        return FALSE;
    }
    MakeDirectory(desktopFolder); // an existing folder is normal
    return TRUE;
}

HRESULT CreateShortcut(const char *targetPath, const char *linkPath, const char *description)
{
    // The link path goes through 260 wide characters and the shell keeps the
    // target in MAX_PATH: refuse rather than save a link under or to another name.
    size_t targetLen;
    if (FAILED(StringCchLengthA(targetPath, MAX_PATH, &targetLen)) || !IsFullPath(linkPath))
        return E_INVALIDARG;
    WCHAR wideLink[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wideLink, MAX_PATH) == 0)
        return HRESULT_FROM_WIN32(GetLastError());

    IShellLinkA *link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  (void **)&link);
    if (FAILED(hr))
        return hr;
    link->SetPath(targetPath);          // the target need not exist yet
    link->SetDescription(description);
    IPersistFile *file;
    hr = link->QueryInterface(IID_IPersistFile, (void **)&file);
    if (SUCCEEDED(hr)) {
        hr = file->Save(wideLink, TRUE);
        file->Release();
    }
    link->Release();
    return hr;
}

void CreateProductShortcuts(const char *folderName, const ProductShortcut *links, int count,
                            const char *description, int folderCapacity, int targetCapacity)
{
    char folder[500], linkPath[500], targetPath[500];
    size_t linkCapacity = folderCapacity < (int)sizeof folder ? (size_t)folderCapacity : sizeof folder;
    size_t targetLimit = targetCapacity < (int)sizeof targetPath ? (size_t)targetCapacity : sizeof targetPath;
    if (!ResolveDesktopFolder(folderName, folder, (int)linkCapacity))
        return;
    for (int i = 0; i < count; i++) {
        if (!FormatText(linkPath, linkCapacity, "%s\\%s", folder, links[i].linkFile) ||
            !FormatText(targetPath, targetLimit, "%s\\%s", InstallDir, links[i].target))
            continue; // never a link at, or to, a cut-off path
        CreateShortcut(targetPath, linkPath, description);
    }
}
