#pragma once
// Runs the built quelp-cli program and collects what it printed, for the
// tests that check the program as an operator uses it.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/EditDistance.h"

namespace quelp::test {

struct CliRun {
    int exitCode = -1;  // -1: did not exit normally (a signal)
    std::string out;
    std::string err;
};

inline std::string CliProgram() {
    std::string program = QUELP_BINARY_DIR;
    program += "/apps/quelp-cli/quelp-cli";
    return program;
}

// Appends `s` to `command` as one shell word. The command is grown in place
// with append only: GCC 12 at -O2 and above sees a bogus overlap (-Wrestrict)
// in an inlined `"literal" + std::string` and fails the optimised builds.
inline void AppendShellQuoted(std::string& command, const std::string& s) {
    command += '\'';
    for (const char c : s) {
        if (c == '\'') {
            command += "'\\''";
        } else {
            command += c;
        }
    }
    command += '\'';
}

inline std::string ShellQuote(const std::string& s) {
    std::string q;
    q.reserve(s.size() + 2);
    AppendShellQuoted(q, s);
    return q;
}

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// `scratch`: a file name prefix for the captured output streams. With
// `input`, that file reaches standard input through a pipe (which cannot
// seek, as another program's output); without, standard input is empty.
inline CliRun RunCli(const std::vector<std::string>& args, const std::string& scratch,
                     const std::string& input = {}) {
    std::string command;
    if (!input.empty()) {
        command += "cat ";
        AppendShellQuoted(command, input);
        command += " | ";
    }
    AppendShellQuoted(command, CliProgram());
    for (const auto& a : args) {
        command += ' ';
        AppendShellQuoted(command, a);
    }
    const std::string out = scratch + ".out";
    const std::string err = scratch + ".err";
    command += " >";
    AppendShellQuoted(command, out);
    command += " 2>";
    AppendShellQuoted(command, err);
    if (input.empty()) command += " </dev/null";
    CliRun run;
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}

// Lower case, runs of blanks and line breaks as one space, no blank at
// either end: the form in which sent and decoded text are compared.
inline std::string NormalizeText(const std::string& text) {
    std::string n;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (blank) {
            if (!n.empty() && n.back() != ' ') n += ' ';
        } else {
            n += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    if (!n.empty() && n.back() == ' ') n.pop_back();
    return n;
}

// Error rate of `decoded` against `sent` over the whole text, both
// normalized: what the decoder printed while it settled counts too.
inline double WholeTextErrorRate(const std::string& sent, const std::string& decoded) {
    const std::string s = NormalizeText(sent);
    return s.empty() ? 0.0
                     : static_cast<double>(EditDistance(s, NormalizeText(decoded))) / s.size();
}

// Error rate of `sentTail` against the best-matching end of `decoded`: what
// the decoder printed before it settled costs nothing, so this measures the
// decoder once it has found the signal.
inline double TailErrorRate(const std::string& sentTail, const std::string& decoded) {
    return CharacterErrorRate(NormalizeText(sentTail), NormalizeText(decoded));
}

}  // namespace quelp::test
