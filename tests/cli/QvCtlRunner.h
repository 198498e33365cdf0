// Runs the built qvgen4ctl in a child process and captures its output and exit status.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct TCtlResult {
    int Status = -1; // exit status; -1 when the child did not exit normally
    std::string Out, Err;

    std::vector<std::string> OutLines() const { return Split(Out); }
    std::vector<std::string> ErrLines() const { return Split(Err); }

    static std::vector<std::string> Split(const std::string& Text) {
        std::vector<std::string> lines;
        std::istringstream in(Text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

inline std::string CtlTempPath(const std::string& Name) {
    return ::testing::TempDir() + "qvgen4ctl_" + std::to_string(::getpid()) + "_" + Name;
}

inline std::string ReadWholeFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Output goes to files rather than pipes, so a child that writes much to both streams cannot
// block on a pipe nobody reads yet.
inline TCtlResult RunCtl(const std::vector<std::string>& Args) {
    static int serial = 0;
    const std::string outPath = CtlTempPath("out" + std::to_string(serial));
    const std::string errPath = CtlTempPath("err" + std::to_string(serial++));
    std::vector<std::string> all{QVGEN4CTL_PATH};
    all.insert(all.end(), Args.begin(), Args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    TCtlResult r;
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
        return r;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = ReadWholeFile(outPath);
    r.Err = ReadWholeFile(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return r;
}
