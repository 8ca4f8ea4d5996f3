// The dialogs that ask where to install: the install-directory dialog, with the
// status line of the pass before, and the create-directory dialog.
#include "kit.h"
#include "resource.h"
#include "toolkit.h"

enum { FieldLimit = 127 }; // characters read back from a field, its NUL included

static void UpperCase(char *text)
{
    for (char *c = text; *c; c++)
        if (*c >= 'a' && *c <= 'z')
            *c = (char)(*c - 'a' + 'A');
}

// TargetDir becomes the field's text with a to z in upper case, made absolute
// (the current directory in upper case too). One that cannot be made absolute
// stays relative, for the driver to refuse.
static void TakeTargetDir(HWND dialog, int field)
{
    char text[FieldLimit];
    GetDlgItemTextA(dialog, field, text, sizeof text);
    StringCchCopyA(TargetDir, TargetDirCapacity, text); // 126 characters at most: fits
    MakeAbsoluteDir(TargetDir, TargetDirCapacity);
    UpperCase(TargetDir);
}

static const char *StatusText(int status)
{
    switch (status) {
    case STATUS_NO_DIRECTORY:
        return "Error in creating Directory";
    case SYSTEM_INI_UNREADABLE:
        return "Can't find SYSTEM.INI !!!";
    case SYSTEM_INI_NOT_UPDATED:
        return "Can't update SYSTEM.INI !!!";
    default:
        return NULL;
    }
}

// Cancel and Continue end both dialogs; Escape (IDCANCEL) is not handled, so it does nothing.
static BOOL EndOnButton(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) == IDC_CANCEL)
        CancelFlag = 1;
    if (LOWORD(wParam) != IDC_CANCEL && LOWORD(wParam) != IDC_CONTINUE)
        return FALSE;
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK InstallDirDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_SOURCE_DIR, SourceDir);
        SetDlgItemTextA(dialog, IDC_TARGET_DIR, TargetDir); // its change notice sets TargetDir
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_TARGET_DIR) {
            TakeTargetDir(dialog, IDC_TARGET_DIR);
            return TRUE;
        }
        return EndOnButton(dialog, wParam);
    case WM_PAINT: {
        const char *text = StatusText(StatusCode);
        if (text) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(dialog, &paint);
            TextOutA(dc, 80, 150, text, lstrlenA(text));
            EndPaint(dialog, &paint);
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CreateDirDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_NEW_DIR, TargetDir);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_NEW_DIR) {
            TakeTargetDir(dialog, IDC_NEW_DIR);
            return TRUE;
        }
        return EndOnButton(dialog, wParam);
    default:
        return FALSE;
    }
}
