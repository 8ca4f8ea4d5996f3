// Records what the operated program's pages show while a step runs: their
// status label, every progress bar position, and both as a page closes. The
// step runs without dispatching messages, so polling from outside misses it;
// a hook DLL that Wine loads into the program records it from inside.
#ifndef PAGE_RECORDER_H
#define PAGE_RECORDER_H

#include <windows.h>

#include <string>
#include <vector>

struct PageRecord; // page_hook.h

class PageRecorder {
public:
    // hookDll must lie on a drive (T:\...): the program loads it under that name.
    explicit PageRecorder(const char *hookDll);
    ~PageRecorder();
    PageRecorder(const PageRecorder &) = delete;
    PageRecorder &operator=(const PageRecorder &) = delete;

    // Empty when the hook is in place, else why it is not.
    std::string Error() const { return error_; }
    // Records processId's pages from now on; labelId is their status label's id.
    void Follow(DWORD processId, int labelId);
    // What the page with this caption showed, in order: "label TEXT", "bar N",
    // and "closing: label TEXT, bar N" as it was hidden. Read it once the page
    // has gone: the program writes while it runs.
    std::vector<std::string> Events(const std::string &page) const;

private:
    HANDLE mapping_ = NULL;
    PageRecord *record_ = nullptr;
    HMODULE dll_ = NULL;
    HHOOK hook_ = NULL;
    std::string error_;
};

#endif
