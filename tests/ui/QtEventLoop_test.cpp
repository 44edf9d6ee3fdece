// The buffer-done message crosses from the sound driver's thread to the
// window's thread as a Qt event; no buffer is left unprocessed.

#include "ui/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "WindowRig.h"

namespace quelp {
namespace {

TEST(QtEventLoop, PostsFromAnotherThreadAreHandledOnTheWindowsThread) {
    ui::QtEventLoop events;
    std::atomic<int> posted{0};
    int handled = 0;
    bool onWindowThread = true;
    events.SetHandler([&](std::uint32_t message) {
        EXPECT_EQ(message, WM_BUFFERDONE);
        onWindowThread = onWindowThread && QThread::currentThread() == events.thread();
        ++handled;
    });
    std::thread driver([&] {
        for (int i = 0; i < 500; ++i) {
            events.Post(WM_BUFFERDONE);
            ++posted;
        }
    });
    driver.join();
    QCoreApplication::processEvents();
    EXPECT_GE(handled, 1);
    EXPECT_TRUE(onWindowThread);
    // A post after the handler ran brings it once more.
    const int before = handled;
    events.Post(WM_BUFFERDONE);
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, before + 1);
    // Other message numbers are not carried.
    events.Post(WM_BUFFERDONE + 7);
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, before + 1);
}

// The whole way: buffers filled on the driver's thread reach the input
// handler, which shows how many the driver holds.
TEST(QtEventLoop, FilledBuffersReachTheApplication) {
    test::WindowRig rig;
    rig.Start();
    ASSERT_EQ(rig.input.Held(), 16);
    rig.input.CompleteAllOnThread(0);
    rig.input.Join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.input.Held() == 16; }, 2000));
    EXPECT_EQ(rig.app.SoundInput()->PendingBuffers.load(), 0);
    // Sixteen blocks went through the receiver: about 148 oscilloscope
    // entries.
    EXPECT_EQ(rig.app.Rx().Spectrum().OscIndex, 16 * 2048 / 221);
}

}  // namespace
}  // namespace quelp
