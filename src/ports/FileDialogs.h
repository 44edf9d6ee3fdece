#pragma once
// Port: the prompts that return a path or nothing (open and save dialogs).

#include <optional>
#include <string>

namespace quelp {

struct FileDialogRequest {
    std::string title;
    std::string filter;       // "Text files|*.txt|All files|*.*"
    std::string defaultExt;   // without the dot
    std::string initialDir;   // empty: the dialog's own choice
    std::string initialName;  // pre-filled file name
    bool promptOverwrite = false;
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> AskOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> AskSave(const FileDialogRequest& request) = 0;
};

}  // namespace quelp
