#pragma once
// Records the files handed to the desktop, with their contents at that moment.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ports/DesktopOpener.h"

namespace quelp::test {

class FakeDesktopOpener : public DesktopOpener {
  public:
    bool OpenWithDesktop(const std::string& path) override {
        opened.push_back(path);
        std::ifstream in(path, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }
    std::vector<std::string> opened;
    std::vector<std::string> contents;
};

}  // namespace quelp::test
