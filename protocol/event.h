// The two events that hand turns between the main thread and the worker,
// built from a mutex and a condition variable. An auto-reset event lets one
// wait through and clears itself; a manual-reset event stays set until it is
// cleared. Waits have no time limit.
#pragma once

#include <condition_variable>
#include <mutex>

namespace vantrel {

class Event {
public:
    enum class Reset { Auto, Manual };

    Event(Reset reset, bool initially_set) : auto_reset_(reset == Reset::Auto), set_(initially_set) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set() {
        {
            std::lock_guard lock(mutex_);
            set_ = true;
        }
        if (auto_reset_)
            changed_.notify_one();
        else
            changed_.notify_all();
    }

    void clear() {
        std::lock_guard lock(mutex_);
        set_ = false;
    }

    bool is_set() {
        std::lock_guard lock(mutex_);
        return set_;
    }

    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return set_; });
        if (auto_reset_) set_ = false;
    }

private:
    const bool auto_reset_;
    bool set_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace vantrel
