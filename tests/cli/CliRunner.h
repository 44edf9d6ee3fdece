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

namespace quelp::test {

struct CliRun {
    int exitCode = -1;  // -1: did not exit normally (a signal)
    std::string out;
    std::string err;
};

inline std::string CliProgram() {
    return std::string(QUELP_BINARY_DIR) + "/apps/quelp-cli/quelp-cli";
}

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (const char c : s) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// `scratch`: a file name prefix for the captured output streams.
inline CliRun RunCli(const std::vector<std::string>& args, const std::string& scratch) {
    std::string command = ShellQuote(CliProgram());
    for (const auto& a : args) command += " " + ShellQuote(a);
    const std::string out = scratch + ".out";
    const std::string err = scratch + ".err";
    command += " >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
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

// Edit distance over characters.
inline std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            const std::size_t substitute = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({up + 1, row[j - 1] + 1, substitute});
            diagonal = up;
        }
    }
    return row[b.size()];
}

// Character error rate of `decoded` against `sent`, both normalized.
inline double CharacterErrorRate(const std::string& sent, const std::string& decoded) {
    const std::string s = NormalizeText(sent);
    const std::string d = NormalizeText(decoded);
    return s.empty() ? 0.0 : static_cast<double>(EditDistance(s, d)) / s.size();
}

// Error rate of `sent` against the best-matching end of `decoded`: whatever
// the decoder printed before it settled (a skipped decoded prefix) costs
// nothing, so this measures the decoder once it has found the signal.
inline double TailErrorRate(const std::string& sentTail, const std::string& decoded) {
    const std::string s = NormalizeText(sentTail);
    const std::string d = NormalizeText(decoded);
    if (s.empty()) return 0.0;
    // Rows over the sent text, columns over the decoded text; starting
    // anywhere in the decoded text is free.
    std::vector<std::size_t> row(d.size() + 1, 0);
    for (std::size_t i = 1; i <= s.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= d.size(); ++j) {
            const std::size_t up = row[j];
            const std::size_t substitute = diagonal + (s[i - 1] == d[j - 1] ? 0 : 1);
            row[j] = std::min({up + 1, row[j - 1] + 1, substitute});
            diagonal = up;
        }
    }
    return static_cast<double>(row[d.size()]) / s.size();
}

}  // namespace quelp::test
