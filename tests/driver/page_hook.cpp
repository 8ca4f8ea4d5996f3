// A global WH_CALLWNDPROCRET hook that Wine loads into the operated program:
// it sees the program's own sends (a step's PBM_SETPOS, its label text), which
// no other process can observe while the step runs without pumping messages.
#include "page_hook.h"

#include <commctrl.h>

static PageRecord *Record(void)
{
    static PageRecord *record;
    if (!record) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, PAGE_RECORD_NAME);
        if (!mapping)
            return NULL;
        record = (PageRecord *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(PageRecord));
        CloseHandle(mapping); // the view keeps it
    }
    return record;
}

static HWND PageOf(HWND control)
{
    HWND page = GetAncestor(control, GA_ROOT);
    return page ? page : control;
}

static HWND BarOf(HWND page)
{
    return FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL);
}

static void Add(PageRecord *record, LONG kind, HWND page, LONG position)
{
    LONG at = InterlockedIncrement(&record->count) - 1;
    if (at >= PageEventCapacity)
        return;
    PageEventRecord *e = &record->events[at];
    e->kind = kind;
    e->position = position;
    e->page[0] = e->label[0] = '\0';
    GetWindowTextA(page, e->page, PageTextCapacity);
    HWND label = GetDlgItem(page, record->labelId);
    if (label)
        GetWindowTextA(label, e->label, PageTextCapacity);
}

// GetParent would name a popup's owner.
static BOOL IsControl(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0;
}

static BOOL IsBar(HWND window)
{
    char kind[32] = "";
    GetClassNameA(window, kind, sizeof kind);
    return lstrcmpiA(kind, PROGRESS_CLASSA) == 0;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK PageHookProc(int code, WPARAM wParam,
                                                                LPARAM lParam)
{
    PageRecord *record = code == HC_ACTION ? Record() : NULL;
    if (record && (DWORD)record->processId == GetCurrentProcessId()) {
        const CWPRETSTRUCT *m = (const CWPRETSTRUCT *)lParam;
        if (m->message == PBM_SETPOS && IsBar(m->hwnd)) {
            Add(record, PAGE_PROGRESS, PageOf(m->hwnd),
                (LONG)SendMessageA(m->hwnd, PBM_GETPOS, 0, 0));
        } else if (m->message == WM_SETTEXT && IsControl(m->hwnd) &&
                   GetDlgCtrlID(m->hwnd) == record->labelId) {
            Add(record, PAGE_LABEL, PageOf(m->hwnd), -1);
        } else if (m->message == WM_WINDOWPOSCHANGING && IsWindowVisible(m->hwnd) &&
                   !IsControl(m->hwnd) && GetDlgItem(m->hwnd, record->labelId)) {
            const WINDOWPOS *pos = (const WINDOWPOS *)m->lParam;
            if (pos->flags & SWP_HIDEWINDOW) {
                HWND bar = BarOf(m->hwnd);
                Add(record, PAGE_CLOSING, m->hwnd,
                    bar ? (LONG)SendMessageA(bar, PBM_GETPOS, 0, 0) : -1);
            }
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
