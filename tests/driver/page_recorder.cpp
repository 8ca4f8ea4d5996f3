#include "page_recorder.h"

#include "page_hook.h"

PageRecorder::PageRecorder(const char *hookDll)
{
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                  sizeof(PageRecord), PAGE_RECORD_NAME);
    if (mapping_)
        record_ = static_cast<PageRecord *>(
            MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(PageRecord)));
    if (!record_) {
        error_ = "no shared record: " + std::to_string(GetLastError());
        return;
    }
    // Programs that loaded the DLL in an earlier test may still hold the record.
    record_->processId = 0;
    record_->count = 0;

    dll_ = LoadLibraryA(hookDll);
    HOOKPROC proc = dll_ ? reinterpret_cast<HOOKPROC>(
                               reinterpret_cast<void *>(GetProcAddress(dll_, PAGE_HOOK_PROC)))
                         : NULL;
    if (proc)
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, proc, dll_, 0);
    if (!hook_)
        error_ = std::string("cannot hook through ") + hookDll + ": " +
                 std::to_string(GetLastError());
}

PageRecorder::~PageRecorder()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (record_) {
        record_->processId = 0;
        UnmapViewOfFile(record_);
    }
    if (mapping_)
        CloseHandle(mapping_);
    if (dll_)
        FreeLibrary(dll_);
}

void PageRecorder::Follow(DWORD processId, int labelId)
{
    if (!record_)
        return;
    record_->labelId = labelId;
    record_->count = 0;
    record_->processId = static_cast<LONG>(processId);
}

std::vector<std::string> PageRecorder::Events(const std::string &page) const
{
    std::vector<std::string> events;
    if (!record_)
        return events;
    LONG count = record_->count;
    if (count > PageEventCapacity) {
        events.push_back("<" + std::to_string(count - PageEventCapacity) + " events lost>");
        count = PageEventCapacity;
    }
    for (LONG i = 0; i < count; i++) {
        const PageEventRecord &e = record_->events[i];
        if (page != e.page)
            continue;
        switch (e.kind) {
        case PAGE_LABEL:
            events.push_back(std::string("label ") + e.label);
            break;
        case PAGE_PROGRESS:
            events.push_back("bar " + std::to_string(e.position));
            break;
        case PAGE_CLOSING:
            events.push_back(std::string("closing: label ") + e.label + ", bar " +
                             (e.position < 0 ? std::string("none") : std::to_string(e.position)));
            break;
        }
    }
    return events;
}
