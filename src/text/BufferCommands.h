#pragma once
// The three commands on the whole receive text (the "buffer"): clear it, save
// it to a file the operator names, and open a copy of it in the desktop's
// text editor.

#include <string>
#include <string_view>

#include "ports/DesktopOpener.h"
#include "ports/FileDialogs.h"
#include "ports/MainView.h"
#include "ports/ReceiveText.h"

namespace quelp {

// The copy handed to the editor, in the working directory; overwritten on
// every use and never deleted, so an editor that still shows it keeps it.
inline constexpr std::string_view kEditorCopyName = "~~tmpbuf.txt";

// How a buffer command ended.
enum class [[nodiscard]] BufferSaveResult{
    Saved,
    Cancelled,  // the operator closed the dialog
    Failed,     // "Unable to write to <path>" was shown
    Busy,       // the same command was already running (nested message loop)
};

// The bytes of the saved buffer: every line followed by CR LF, the bytes as
// the receive text stores them. A line ends at CR LF, LF or CR; a break at
// the very end starts no further line, so an empty buffer is an empty file.
std::string BufferFileBytes(std::string_view wholeText);

// The message shown when the buffer cannot be written to `path`.
std::string BufferWriteErrorText(std::string_view path);

class BufferCommands {
  public:
    // `desktop` may be null: the copy is written but nothing opens it.
    BufferCommands(ReceiveText& rxMemo, MainView& view, FileDialogs& dialogs,
                   DesktopOpener* desktop);

    // Empties the receive text; decoding goes on into the empty window.
    void ClearBuffer();
    // Asks for a file name (the save dialog set up afresh each time) and
    // writes the buffer there, replacing the file.
    BufferSaveResult SaveBuffer();
    // Writes the buffer to kEditorCopyName and hands that to the desktop.
    BufferSaveResult OpenInEditor();
    // Writes the buffer to `path`; a failure is shown as a message.
    BufferSaveResult SaveBufferTo(const std::string& path);

  private:
    ReceiveText& rxMemo_;
    MainView& view_;
    FileDialogs& dialogs_;
    DesktopOpener* desktop_;
    bool saving_ = false;
    bool opening_ = false;
};

}  // namespace quelp
