// The product directory pages: one design serving the modeller, screen saver
// and builder pages, and the progress bar that a product step lays on its page.
#include "suite.h"
#include "toolkit.h"

#include <commctrl.h>
#include <shlobj.h>

#include "resource.h"

typedef void (*ProductStep)(HWND page);

struct ProductPage {
    const char *defaultDir;
    const char *browseTitle;
    ProductStep step; // runs once TargetDir holds the chosen directory
};

enum { MODELLER_PAGE, SAVER_PAGE, BUILDER_PAGE };

static const ProductPage Pages[] = {
    // MODELLER_PAGE
    {"c:\\modelex", "Choose a Folder to install Modelex:", InstallModeller},
    // SAVER_PAGE
    {"c:\\skyloop", "Choose a Folder to install Skyloop:", InstallSaver},
    // BUILDER_PAGE
    {"c:\\skybuild", "Choose a Folder to install SKY Builder:", InstallBuilder},
};

enum { PageBufferSize = 1000, EditTextLimit = 250 };

// Set while a command is handled. Our message boxes have no owner, so the page
// stays clickable under them; commands arriving meanwhile are dropped.
static int PageBusy = 0;

// The page's boxes name DirEntry and have no owner.
static int ShowBox(const char *format, const char *caption, UINT style)
{
    char message[PageBufferSize];
    FormatText(message, PageBufferSize, format, DirEntry);
    return MessageBoxA(NULL, message, caption, style);
}

// Returns nonzero when DirEntry can be installed into: it exists and takes a
// probe file, or the user had it created.
static int DirectoryReady(void)
{
    char probePath[PageBufferSize];
    if (!FormatText(probePath, PageBufferSize, "%s\\xxx.xxx", DirEntry))
        return 0;
    HANDLE probe = OpenProbeFile(probePath, PROBE_EXCLUSIVE);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        DeleteFileA(probePath);
        return 1;
    }

    if (ShowBox("Directory %s doesn't seem to exist - create?", "New Directory?",
                MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return 0;
    if (MakeDirectory(DirEntry) == -1) {
        ShowBox("Can't create Directory %s", "Error", MB_OK);
        return 0;
    }
    return 1;
}

static void Proceed(const ProductPage *page, HWND dialog)
{
    char path[PageBufferSize];
    GetDlgItemTextA(dialog, IDC_DIRECTORY, path, EditTextLimit);
    BOOL full = MakeAbsoluteDir(path, DirEntryCapacity);
    StringCchCopyA(DirEntry, DirEntryCapacity, path); // checked to fit, or at most 249 characters
    if (!full) {
        ShowBox("Can't create Directory %s", "Error", MB_OK);
        return;
    }
    if (!DirectoryReady())
        return; // the page stays open with its text

    StringCchCopyA(TargetDir, TargetDirCapacity, DirEntry);
    page->step(dialog);
    EndDialog(dialog, 0);
}

static void ConfirmCancel(HWND dialog)
{
    if (MessageBoxA(NULL, "Are you sure you want to exit SKYBuilder setup?", "Cancelling",
                    MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES) {
        CancelFlag = 1;
        EndDialog(dialog, 0);
    }
}

static void Browse(const ProductPage *page, HWND dialog)
{
    char path[PageBufferSize];
    BROWSEINFOA info = {};
    info.hwndOwner = dialog;
    info.pszDisplayName = path;
    info.lpszTitle = page->browseTitle;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item)
        return;
    BOOL hasPath = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    if (!hasPath)
        return; // a virtual folder (My Computer, ...) names no directory
    // A path that does not fit DirEntry is refused rather than cut short.
    if (FAILED(StringCchCopyA(DirEntry, DirEntryCapacity, path)))
        return;
    SendDlgItemMessageA(dialog, IDC_DIRECTORY, WM_SETTEXT, 0, (LPARAM)DirEntry);
}

static INT_PTR RunPage(const ProductPage *page, HWND dialog, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StringCchCopyA(DirEntry, DirEntryCapacity, page->defaultDir);
        SendDlgItemMessageA(dialog, IDC_DIRECTORY, WM_SETTEXT, 0, (LPARAM)DirEntry);
        return TRUE;
    case WM_COMMAND:
        if (PageBusy)
            return TRUE;
        PageBusy = 1;
        switch (LOWORD(wParam)) {
        case IDOK:
            Proceed(page, dialog);
            break;
        case IDCANCEL:
            ConfirmCancel(dialog);
            break;
        case IDC_BROWSE:
            Browse(page, dialog);
            break;
        }
        PageBusy = 0;
        return TRUE;
    case WM_DESTROY:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ModellerPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    return RunPage(&Pages[MODELLER_PAGE], dialog, message, wParam);
}

INT_PTR CALLBACK SaverPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    return RunPage(&Pages[SAVER_PAGE], dialog, message, wParam);
}

INT_PTR CALLBACK BuilderPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    return RunPage(&Pages[BUILDER_PAGE], dialog, message, wParam);
}

// The common controls are loaded from the system directory by full path, not
// imported: an imported DLL outside the system's known set would be taken from
// a file of that name beside the installer, that is from the media.
static void InitCommonControlsFromSystem(void)
{
    static HMODULE controls;
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, sizeof path);
    if (controls || n == 0 || n >= sizeof path || FAILED(StringCchCatA(path, sizeof path, "\\comctl32.dll")))
        return;
    controls = LoadLibraryA(path); // kept until the process ends
    typedef void(WINAPI * InitProc)(void);
    InitProc init = controls ? (InitProc)(void *)GetProcAddress(controls, "InitCommonControls") : NULL;
    if (init)
        init();
}

HWND CreatePageProgressBar(HWND page, const char *label)
{
    SendDlgItemMessageA(page, IDC_STATUS_LABEL, WM_SETTEXT, 0, (LPARAM)label);
    InitCommonControlsFromSystem();
    RECT client;
    GetClientRect(page, &client);
    int height = GetSystemMetrics(SM_CYVSCROLL);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD | WS_VISIBLE, client.left,
                               client.bottom - height, client.right, height, page, NULL,
                               AppInstance, NULL);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    return bar;
}

void SetPageProgress(HWND bar, int percent)
{
    SendMessageA(bar, PBM_SETPOS, (WPARAM)percent, 0);
}
