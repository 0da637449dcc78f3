// The import's helper thread: every item of every run done exactly once,
// whoever takes it, also when runs follow each other closely or come from
// several threads at once.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "import3ds/HelperThread.h"

namespace {

void expectEachOnce(int count) {
    std::vector<std::atomic<int>> done(static_cast<size_t>(count));
    HelperThread::instance().run(count, [&](int i) { ++done[static_cast<size_t>(i)]; });
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(done[static_cast<size_t>(i)].load(), 1) << "item " << i << " of " << count;
}

TEST(HelperThread, EveryItemOfEveryRunOnce) {
    for (int count : {0, 1, 2, 3, 100, 5000}) expectEachOnce(count);
    for (int run = 0; run < 200; ++run) expectEachOnce(run % 7);
}

TEST(HelperThread, CallersFromSeveralThreadsTakeTurns) {
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([] {
            for (int run = 0; run < 50; ++run) expectEachOnce(64);
        });
    for (std::thread& t : callers) t.join();
}

}  // namespace
