#ifndef DEMO_FRAMEWRITER_H
#define DEMO_FRAMEWRITER_H

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace demo {

// Writes frames of a fixed size to a stream on its own thread, two frames
// deep: the caller reads the next frame into one buffer while the other is
// being written, so rendering and encoding overlap without a copy.
class FrameWriter {
public:
    FrameWriter(FILE* out, size_t frameBytes);
    ~FrameWriter();  // finish()
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // The buffer to fill next; waits while the writer still holds it.
    unsigned char* nextFrame();
    // Queues the buffer returned by nextFrame.
    void submit();
    // True once a write has failed.
    bool failed();

    // Writes what is queued and stops the thread. False when a write failed.
    bool finish();

private:
    static const int kBuffers = 2;
    void writeLoop();

    FILE* out_;
    std::vector<unsigned char> buffers_[kBuffers];
    bool queued_[kBuffers] = {false, false};
    int fill_ = 0;   // the buffer the caller fills next
    int write_ = 0;  // the buffer the writer takes next
    bool stopping_ = false;
    bool failed_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

}  // namespace demo

#endif
