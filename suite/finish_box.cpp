// The box that ends every run: "finok" after the builder page, "finerr" after a
// confirmed Cancel.
#include "suite.h"

INT_PTR CALLBACK FinishDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE; // the dialog manager focuses OK
    case WM_COMMAND:
        // Only OK (or Enter) ends it: Escape and the close button send IDCANCEL.
        if (LOWORD(wParam) == IDOK)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
