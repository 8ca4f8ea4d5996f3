// The end message: what to do now that the screen saver is installed.
#include "kit.h"
#include "resource.h"

INT_PTR CALLBACK EndMsgDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    if (message != WM_COMMAND || LOWORD(wParam) != IDC_CONTINUE)
        return FALSE; // Escape included: only OK ends it
    EndDialog(dialog, 0);
    return TRUE;
}
