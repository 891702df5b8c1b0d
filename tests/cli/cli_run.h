// Runs tarkemo-cli as a child process for the CLI tests and collects exit status and output.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tarkemo::testing {

struct CliResult {
    int status = -1;
    std::string out;  // stdout and stderr together
};

// Quotes every argument for the shell; TARKEMO_CLI_PATH is the binary under test.
inline CliResult RunCli(const std::vector<std::string>& args) {
    std::string command = "'" TARKEMO_CLI_PATH "'";
    for (const std::string& arg : args) {
        std::string quoted = "'";
        for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " " + quoted + "'";
    }
    command += " 2>&1";
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

}  // namespace tarkemo::testing
