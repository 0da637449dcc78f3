#include "FrameWriter.h"

namespace demo {

FrameWriter::FrameWriter(FILE* out, size_t frameBytes) : out_(out) {
    for (std::vector<unsigned char>& b : buffers_) b.resize(frameBytes);
    thread_ = std::thread(&FrameWriter::writeLoop, this);
}

FrameWriter::~FrameWriter() { finish(); }

unsigned char* FrameWriter::nextFrame() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !queued_[fill_]; });
    return buffers_[fill_].data();
}

void FrameWriter::submit() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_[fill_] = true;
        fill_ = (fill_ + 1) % kBuffers;
    }
    changed_.notify_all();
}

void FrameWriter::writeLoop() {
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return queued_[write_] || stopping_; });
        if (!queued_[write_]) return;  // stopping with nothing left
        std::vector<unsigned char>& frame = buffers_[write_];
        lock.unlock();
        const bool written = std::fwrite(frame.data(), 1, frame.size(), out_) == frame.size();
        lock.lock();
        failed_ = failed_ || !written;
        queued_[write_] = false;
        write_ = (write_ + 1) % kBuffers;
        lock.unlock();
        changed_.notify_all();
    }
}

bool FrameWriter::failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

bool FrameWriter::finish() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    return !failed_;
}

}  // namespace demo
