// A fixed set of buffers passed from one producer to one consumer thread and back: the
// producer only waits when every buffer is queued or being consumed, and no buffer is
// allocated after construction.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

template <typename Buffer>
class FramePipe {
public:
    explicit FramePipe(std::size_t buffers) : buffers_(buffers) {
        for (Buffer& buffer : buffers_) free_.push_back(&buffer);
    }
    FramePipe(const FramePipe&) = delete;
    FramePipe& operator=(const FramePipe&) = delete;

    // Producer: a buffer to fill; waits while none is free. Null once the consumer stopped.
    Buffer* acquire() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || !free_.empty(); });
        if (stopped_) return nullptr;
        Buffer* buffer = free_.back();
        free_.pop_back();
        return buffer;
    }

    // Producer: hands a filled buffer over, in order.
    void submit(Buffer* buffer) {
        {
            std::lock_guard lock(mutex_);
            ready_.push_back(buffer);
        }
        changed_.notify_all();
    }

    // Producer: nothing more comes; the consumer drains what is queued.
    void close() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
    }

    // Consumer: the next filled buffer; waits for one. Null once closed and drained, or stopped.
    Buffer* next() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || closed_ || !ready_.empty(); });
        if (stopped_ || ready_.empty()) return nullptr;
        Buffer* buffer = ready_.front();
        ready_.pop_front();
        return buffer;
    }

    // Consumer: a buffer is done with and may be filled again.
    void release(Buffer* buffer) {
        {
            std::lock_guard lock(mutex_);
            free_.push_back(buffer);
        }
        changed_.notify_all();
    }

    // Either side: give up; waiting calls on both sides return null from now on.
    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

    bool stopped() const {
        std::lock_guard lock(mutex_);
        return stopped_;
    }

    std::vector<Buffer>& buffers() { return buffers_; }

private:
    std::vector<Buffer> buffers_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Buffer*> free_;
    std::deque<Buffer*> ready_;
    bool closed_ = false;
    bool stopped_ = false;
};
