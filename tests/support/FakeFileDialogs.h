#pragma once
// File dialogs with scripted answers; records what was asked.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ports/FileDialogs.h"

namespace quelp::test {

class FakeFileDialogs : public FileDialogs {
  public:
    std::optional<std::string> AskOpen(const FileDialogRequest& request) override {
        asked.push_back(request);
        return Next();
    }
    std::optional<std::string> AskSave(const FileDialogRequest& request) override {
        asked.push_back(request);
        return Next();
    }

    // Answers in order; an empty optional is a cancelled dialog. When the
    // script runs out, every dialog is cancelled.
    std::deque<std::optional<std::string>> answers;
    std::vector<FileDialogRequest> asked;

  private:
    std::optional<std::string> Next() {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace quelp::test
