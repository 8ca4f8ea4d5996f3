// The record that the page hook DLL writes inside the operated program and
// PageRecorder reads in the test: one named shared mapping.
#ifndef PAGE_HOOK_H
#define PAGE_HOOK_H

#include <windows.h>

#define PAGE_RECORD_NAME "Local\\SetupTestsPageRecord"
#define PAGE_HOOK_PROC "PageHookProc"

enum { PageTextCapacity = 128, PageEventCapacity = 512 };

enum PageEventKind {
    PAGE_LABEL,    // the status label's text, just after it was set
    PAGE_PROGRESS, // a progress bar's position, just after it was set
    PAGE_CLOSING   // a page about to be hidden: its label text and bar position
};

struct PageEventRecord {
    LONG kind;     // PageEventKind
    LONG position; // bar position, -1 when the page has no bar
    char page[PageTextCapacity];  // the page's caption
    char label[PageTextCapacity]; // the status label's text
};

struct PageRecord {
    volatile LONG processId; // only this process is recorded; 0: none
    volatile LONG labelId;   // control id of the pages' status label
    volatile LONG count;     // events claimed; more than the capacity are counted, not kept
    PageEventRecord events[PageEventCapacity];
};

#endif
