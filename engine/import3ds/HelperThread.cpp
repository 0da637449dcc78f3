#include "import3ds/HelperThread.h"

#include <system_error>

HelperThread& HelperThread::instance() {
    static HelperThread helper;
    return helper;
}

HelperThread::~HelperThread() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void HelperThread::start() {
    started_ = true;
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
        // No thread to be had: the callers do all the work.
    }
}

void HelperThread::drain(const std::function<void(int)>& work, int count) {
    for (int i = next_++; i < count; i = next_++) work(i);
}

void HelperThread::run(int count, const std::function<void(int)>& work) {
    std::lock_guard<std::mutex> myTurn(turn_);
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!started_) start();
        job_ = &work;
        count_ = count;
        next_ = 0;
        ++generation_;
    }
    wake_.notify_one();
    drain(work, count);
    std::unique_lock<std::mutex> hold(lock_);
    job_ = nullptr;  // a helper that wakes from now on finds nothing to do
    idle_.wait(hold, [this] { return !helping_; });
}

void HelperThread::serve() {
    unsigned served = 0;
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [&] { return stop_ || (job_ != nullptr && generation_ != served); });
        if (stop_) return;
        served = generation_;
        const std::function<void(int)>* work = job_;
        const int count = count_;
        helping_ = true;
        hold.unlock();
        drain(*work, count);
        hold.lock();
        helping_ = false;
        idle_.notify_all();
    }
}
