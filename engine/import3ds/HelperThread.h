#ifndef KVX_IMPORT3DS_HELPERTHREAD_H
#define KVX_IMPORT3DS_HELPERTHREAD_H

// One thread that helps whoever calls run() through a list of independent
// items. It is started at the first run and lives until the program ends.
// The caller never waits for the helper to wake up: when the caller has taken
// the last item, run() returns as soon as the items the helper took are done,
// so a busy machine that gives the helper no processor costs nothing.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class HelperThread {
public:
    // The program's helper.
    static HelperThread& instance();

    // Runs work(i) for every i in [0, count), on the calling thread and on the
    // helper while it is free; returns when every item is done. Calls from
    // several threads take turns.
    void run(int count, const std::function<void(int)>& work);

    HelperThread() = default;
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

private:
    void start();
    void serve();
    void drain(const std::function<void(int)>& work, int count);

    std::mutex turn_;  // one run at a time
    std::mutex lock_;  // guards the fields below
    std::condition_variable wake_, idle_;
    const std::function<void(int)>* job_ = nullptr;  // null between runs
    int count_ = 0;
    unsigned generation_ = 0;  // counts runs, so the helper takes each once
    bool helping_ = false;     // the helper is inside a run's items
    bool stop_ = false;
    bool started_ = false;
    std::atomic<int> next_{0};  // the next item to take
    std::thread thread_;
};

#endif
