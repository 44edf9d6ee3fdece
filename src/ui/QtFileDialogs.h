#pragma once
// The open and save prompts as Qt file dialogs, modal over the main window.

#include <QPointer>
#include <QWidget>

#include "ports/FileDialogs.h"

namespace quelp::ui {

// "Text files|*.txt|All files|*.*" as Qt writes it:
// "Text files (*.txt);;All files (*.*)".
QString QtFilter(const std::string& filter);

class QtFileDialogs final : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<std::string> AskOpen(const FileDialogRequest& request) override;
    std::optional<std::string> AskSave(const FileDialogRequest& request) override;

  private:
    std::optional<std::string> Ask(const FileDialogRequest& request, bool save);
    QPointer<QWidget> parent_;
};

}  // namespace quelp::ui
