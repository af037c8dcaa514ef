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
    Buffer* acquire() { return take(free_, false); }
    // Producer: hands a filled buffer over, in order.
    void submit(Buffer* buffer) { put(ready_, buffer); }
    // Producer: nothing more comes; the consumer drains what is queued.
    void close() { raise(closed_); }

    // Consumer: the next filled buffer; waits for one. Null once closed and drained, or stopped.
    Buffer* next() { return take(ready_, true); }
    // Consumer: a buffer is done with and may be filled again.
    void release(Buffer* buffer) { put(free_, buffer); }

    // Either side: give up; waiting calls on both sides return null from now on.
    void stop() { raise(stopped_); }

    bool stopped() const {
        std::lock_guard lock(mutex_);
        return stopped_;
    }

    std::vector<Buffer>& buffers() { return buffers_; }

private:
    // The oldest buffer of `queue`, waited for; null once stopped, or, when `endsWhenClosed`,
    // once closed with the queue empty.
    Buffer* take(std::deque<Buffer*>& queue, bool endsWhenClosed) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || (endsWhenClosed && closed_) || !queue.empty(); });
        if (stopped_ || queue.empty()) return nullptr;
        Buffer* buffer = queue.front();
        queue.pop_front();
        return buffer;
    }

    void put(std::deque<Buffer*>& queue, Buffer* buffer) {
        {
            std::lock_guard lock(mutex_);
            queue.push_back(buffer);
        }
        changed_.notify_all();
    }

    void raise(bool& flag) {
        {
            std::lock_guard lock(mutex_);
            flag = true;
        }
        changed_.notify_all();
    }

    std::vector<Buffer> buffers_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Buffer*> free_;
    std::deque<Buffer*> ready_;
    bool closed_ = false;
    bool stopped_ = false;
};
