#include "adapters/posix/PosixCaptureSink.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quelp {
namespace {

class PosixCaptureSinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quelp_capture_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "capture.txt").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Contents() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(PosixCaptureSinkTest, AppendsAndNeverTruncates) {
    std::ofstream(path_, std::ios::binary) << "old\r\n";
    PosixCaptureSink sink;
    ASSERT_TRUE(sink.Open(path_));
    sink.Write("new ");
    sink.Write("\r\n<14:05:09> ");
    EXPECT_TRUE(sink.Close());
    EXPECT_FALSE(sink.IsOpen());
    ASSERT_TRUE(sink.Open(path_));
    sink.Write("more");
    EXPECT_TRUE(sink.Close());
    EXPECT_EQ(Contents(), "old\r\nnew \r\n<14:05:09> more");
}

TEST_F(PosixCaptureSinkTest, CreatesTheFileReadableByOthers) {
    PosixCaptureSink sink;
    ASSERT_TRUE(sink.Open(path_));
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0644 & ~mask);
    EXPECT_TRUE(sink.Close());
}

TEST_F(PosixCaptureSinkTest, SecondWriterIsRefusedWhileReadersAreNot) {
    PosixCaptureSink first;
    PosixCaptureSink second;
    ASSERT_TRUE(first.Open(path_));
    first.Write("abc");
    EXPECT_FALSE(second.Open(path_));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(Contents(), "abc");  // a reader sees the text while it is captured
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(second.Open(path_));  // free again after the close
    EXPECT_TRUE(second.Close());
}

TEST_F(PosixCaptureSinkTest, UnopenablePathsFail) {
    PosixCaptureSink sink;
    EXPECT_FALSE(sink.Open(dir_.string()));  // a directory
    EXPECT_FALSE(sink.Open((dir_ / "missing" / "x.txt").string()));
    // Special files: a FIFO with no reader fails at once instead of blocking.
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(sink.Open(fifo));
    EXPECT_FALSE(sink.Open("/dev/null"));
    sink.Write("ignored");
    EXPECT_TRUE(sink.Close());  // nothing open, nothing lost
}

}  // namespace
}  // namespace quelp
