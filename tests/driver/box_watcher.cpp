#include "box_watcher.h"

#include <windows.h>

#include "driver.h"

BoxWatcher::BoxWatcher(const char *caption, int buttonId)
    : caption_(caption), button_(buttonId), thread_(&BoxWatcher::Run, this)
{
}

BoxWatcher::~BoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<std::string> BoxWatcher::Texts()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

void BoxWatcher::Run()
{
    while (!stop_) {
        HWND box = driver::WaitForWindow(caption_.c_str(), 0);
        if (box) {
            {
                // Recorded before the click: the caller may look as soon as the box is gone.
                std::lock_guard<std::mutex> lock(mutex_);
                texts_.push_back(driver::ControlText(box, 0xFFFF));
            }
            PostMessageA(GetDlgItem(box, button_), BM_CLICK, 0, 0);
            driver::WaitForWindowGone(caption_.c_str(), 5000);
        }
        Sleep(10);
    }
}
