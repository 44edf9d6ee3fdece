#include "app/EventLoopQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quelp {
namespace {

TEST(EventLoopQueue, DeliversEveryPostFromOtherThreadsOnce) {
    constexpr uint32_t kQuit = 0x0012;
    EventLoopQueue queue{WM_BUFFERDONE, kQuit};
    queue.Post(0x1234);  // not carried: dropped
    EXPECT_EQ(queue.Dispatch([](uint32_t) { FAIL(); }), 0);

    constexpr int kThreads = 4, kPosts = 500;
    std::vector<std::thread> drivers;
    for (int t = 0; t < kThreads; ++t) {
        drivers.emplace_back([&] {
            for (int i = 0; i < kPosts; ++i) queue.Post(WM_BUFFERDONE);
        });
    }
    int done = 0;
    bool quit = false;
    std::thread last([&] {
        for (auto& d : drivers) d.join();
        queue.Post(kQuit);
    });
    while (!quit) {
        queue.Wait();
        queue.Dispatch([&](uint32_t m) {
            if (m == WM_BUFFERDONE) ++done;
            if (m == kQuit) quit = true;
        });
    }
    last.join();
    queue.Dispatch([&](uint32_t m) { done += m == WM_BUFFERDONE; });
    EXPECT_EQ(done, kThreads * kPosts);
    EXPECT_EQ(queue.Pending(WM_BUFFERDONE), 0);
}

}  // namespace
}  // namespace quelp
