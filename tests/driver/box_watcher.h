// Answers message boxes that this process shows while a test calls code that
// may show them, and records their texts. Stops when destroyed.
#ifndef BOX_WATCHER_H
#define BOX_WATCHER_H

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BoxWatcher {
public:
    // Presses buttonId on every visible window captioned caption.
    BoxWatcher(const char *caption, int buttonId);
    ~BoxWatcher();
    std::vector<std::string> Texts();

private:
    void Run();
    std::string caption_;
    int button_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};

#endif
