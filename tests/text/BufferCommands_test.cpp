#include "text/BufferCommands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/TempDir.h"
#include "support/FakeDesktopOpener.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(BufferFileBytes, EveryLineEndsWithCrLfAndBytesStayAsStored) {
    const struct {
        std::string text;
        std::string file;
    } cases[] = {
        {"", ""},
        {"cq", "cq\r\n"},
        {"a\nb", "a\r\nb\r\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n"},  // a break at the end starts no line
        {"a\rb", "a\r\nb\r\n"},
        {"a\n\nb", "a\r\n\r\nb\r\n"},
        {"\n", "\r\n"},
        {"\xC0\xE0 \x80", "\xC0\xE0 \x80\r\n"},  // no code-page conversion
        {std::string("a\0b", 3), std::string("a\0b\r\n", 5)},
    };
    for (const auto& c : cases) EXPECT_EQ(BufferFileBytes(c.text), c.file) << c.text;
}

struct BufferRig {
    test::FakeReceiveText rx;
    test::FakeMainView view;
    test::FakeFileDialogs dialogs;
    test::FakeDesktopOpener desktop;
    BufferCommands commands{rx, view, dialogs, &desktop};
    test::TempDir dir;
};

TEST(BufferCommands, SaveAsksWithTheWholeDialogSetUpAndReplacesTheFile) {
    BufferRig rig;
    rig.rx.SetWholeText("Quelp\nRV3ABC 5NN");
    const std::string path = rig.dir.File("qso.txt");
    { std::ofstream(path) << "an older and longer text that must go"; }
    rig.dialogs.answers = {path};

    EXPECT_EQ(rig.commands.SaveBuffer(), BufferSaveResult::Saved);
    EXPECT_EQ(ReadAll(path), "Quelp\r\nRV3ABC 5NN\r\n");
    ASSERT_EQ(rig.dialogs.asked.size(), 1u);
    const FileDialogRequest& asked = rig.dialogs.asked[0];
    EXPECT_EQ(asked.title, "Save buffer to file");
    EXPECT_EQ(asked.filter, "Text files|*.txt|All files|*.*");
    EXPECT_EQ(asked.defaultExt, "txt");
    EXPECT_EQ(asked.initialDir, ".");
    EXPECT_TRUE(asked.promptOverwrite);
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(BufferCommands, ReportsAFileItCannotWriteInsteadOfHanging) {
    BufferRig rig;
    rig.rx.SetWholeText("text");
    const std::string fifo = rig.dir.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string missingFolder = rig.dir.File("no/such/folder.txt");
    for (const std::string& path : {fifo, rig.dir.path().string(), missingFolder}) {
        rig.view.messages.clear();
        EXPECT_EQ(rig.commands.SaveBufferTo(path), BufferSaveResult::Failed) << path;
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0].first, "Unable to write to " + path);
        EXPECT_EQ(rig.view.messages[0].second, "File Error");
    }
}

TEST(BufferCommands, EditorGetsAFreshCopyInTheWorkingDirectoryEveryTime) {
    BufferRig rig;
    test::CurrentDirGuard back;
    fs::current_path(rig.dir.path());
    rig.rx.SetWholeText("first");
    EXPECT_EQ(rig.commands.OpenInEditor(), BufferSaveResult::Saved);
    rig.rx.SetWholeText("second\nline");
    EXPECT_EQ(rig.commands.OpenInEditor(), BufferSaveResult::Saved);

    EXPECT_EQ(rig.desktop.opened, (std::vector<std::string>{"~~tmpbuf.txt", "~~tmpbuf.txt"}));
    EXPECT_EQ(rig.desktop.contents, (std::vector<std::string>{"first\r\n", "second\r\nline\r\n"}));
    EXPECT_EQ(ReadAll(rig.dir / "~~tmpbuf.txt"), "second\r\nline\r\n");  // kept afterwards
}

TEST(BufferCommands, EditorIsNotStartedOnACopyThatWasNotWritten) {
    BufferRig rig;
    test::CurrentDirGuard back;
    fs::current_path(rig.dir.path());
    fs::create_directory("~~tmpbuf.txt");
    EXPECT_EQ(rig.commands.OpenInEditor(), BufferSaveResult::Failed);
    EXPECT_TRUE(rig.desktop.opened.empty());
    EXPECT_EQ(rig.view.messages.size(), 1u);
}

}  // namespace
}  // namespace quelp
