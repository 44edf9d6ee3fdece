// Writes the manual page of quelp-cli, from the option table that --help is
// written from, to the file named on the command line.
#include <cstdio>
#include <string>

#include "CliOptions.h"

#ifndef QUELP_VERSION
#define QUELP_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quelp-cli-manpage OUTPUT.1\n");
        return 2;
    }
    const std::string page = quelp::CliManPage(QUELP_VERSION);
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
