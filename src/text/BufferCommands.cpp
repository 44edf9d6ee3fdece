#include "text/BufferCommands.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace quelp {

namespace {

// Writes `bytes` to `path`, creating or replacing a regular file. Anything
// else already there (a folder, a named pipe, a device) is refused: writing
// into a pipe nobody reads would hang the window.
bool WriteRegularFile(const std::string& path, std::string_view bytes) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

std::string BufferFileBytes(std::string_view wholeText) {
    std::string bytes;
    bytes.reserve(wholeText.size() + wholeText.size() / 16 + 2);
    bool lineOpen = false;
    for (std::size_t at = 0; at < wholeText.size(); ++at) {
        const char c = wholeText[at];
        if (c != '\r' && c != '\n') {
            bytes.push_back(c);
            lineOpen = true;
            continue;
        }
        bytes.push_back('\r');
        bytes.push_back('\n');
        lineOpen = false;
        if (c == '\r' && at + 1 < wholeText.size() && wholeText[at + 1] == '\n') ++at;
    }
    // The last line ends too; a break at the very end starts no further one.
    if (lineOpen) {
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    return bytes;
}

std::string BufferWriteErrorText(std::string_view path) {
    return "Unable to write to " + std::string(path);
}

BufferCommands::BufferCommands(ReceiveText& rxMemo, MainView& view, FileDialogs& dialogs,
                               DesktopOpener* desktop)
    : rxMemo_(rxMemo), view_(view), dialogs_(dialogs), desktop_(desktop) {}

void BufferCommands::ClearBuffer() {
    rxMemo_.SetWholeText("");
}

BufferSaveResult BufferCommands::SaveBuffer() {
    // The dialog runs its own message loop, through which Ctrl+S can come back.
    if (saving_) return BufferSaveResult::Busy;
    saving_ = true;
    // Set up in full every time: the text capture command shares the dialog
    // and asks with its own title and options.
    const FileDialogRequest request{
        "Save buffer to file", "Text files|*.txt|All files|*.*", "txt", ".", "", true};
    const auto path = dialogs_.AskSave(request);
    const BufferSaveResult result = path ? SaveBufferTo(*path) : BufferSaveResult::Cancelled;
    saving_ = false;
    return result;
}

BufferSaveResult BufferCommands::OpenInEditor() {
    if (opening_) return BufferSaveResult::Busy;
    opening_ = true;
    const std::string path(kEditorCopyName);
    const BufferSaveResult result = SaveBufferTo(path);
    // The editor gets only a copy that was written whole.
    if (result == BufferSaveResult::Saved && desktop_ != nullptr) {
        static_cast<void>(desktop_->OpenWithDesktop(path));
    }
    opening_ = false;
    return result;
}

BufferSaveResult BufferCommands::SaveBufferTo(const std::string& path) {
    if (WriteRegularFile(path, BufferFileBytes(rxMemo_.WholeText())))
        return BufferSaveResult::Saved;
    view_.ShowMessage(BufferWriteErrorText(path), "File Error");
    return BufferSaveResult::Failed;
}

}  // namespace quelp
