// The main window's own commands in the application object: the menus'
// hold-off, closing, help, zoom and the buffer commands.

#include <system_error>

#include "app/QuelpApp.h"

namespace quelp {

namespace {
// The help file, looked for in the program's own folder.
constexpr const char* kHelpFileName = "QUELP.CHM";
}  // namespace

void QuelpApp::MenuOpened() {
    displayHoldOff_ = hold_off::kMenuOpen;
}

void QuelpApp::MenuClosed() {
    displayHoldOff_ = hold_off::kNone;
}

bool QuelpApp::FormCloseQuery() {
    // A client that drives the program would lose it under its hands.
    if (integration_.clientsHoldProgram && integration_.clientsHoldProgram()) return false;
    static_cast<void>(Shutdown());
    return true;
}

void QuelpApp::Contens1Click(const std::filesystem::path& programDir) {
    const std::filesystem::path help = programDir / kHelpFileName;
    std::error_code error;
    // A missing help file is no error worth a message; the desktop would
    // otherwise complain about a file that cannot be opened.
    if (ports_.desktop == nullptr || !std::filesystem::is_regular_file(help, error)) return;
    static_cast<void>(ports_.desktop->OpenWithDesktop(help.string()));
}

bool QuelpApp::ZoomMenuClick(UiItem item) {
    int zoom = 1;
    if (!ReceiverPresenter::ZoomOf(item, zoom)) return false;
    SetZoom(zoom);
    return true;
}

void QuelpApp::ClearBuffer1Click() {
    displayHoldOff_ = hold_off::kNone;
    buffer_.ClearBuffer();
}

BufferSaveResult QuelpApp::SaveBuffer1Click() {
    displayHoldOff_ = hold_off::kMenuOpen;
    const BufferSaveResult result = buffer_.SaveBuffer();
    // The dialog has closed (Ctrl+S opens it without a menu): draw again.
    if (result != BufferSaveResult::Busy) displayHoldOff_ = hold_off::kNone;
    return result;
}

BufferSaveResult QuelpApp::OpenButterinNotepadAltN1Click() {
    displayHoldOff_ = hold_off::kMenuOpen;
    const BufferSaveResult result = buffer_.OpenInEditor();
    if (result != BufferSaveResult::Busy) displayHoldOff_ = hold_off::kNone;
    return result;
}

}  // namespace quelp
