#pragma once

// Small helpers for tests that work on files: a temporary folder that removes itself, copying a
// fixture installation into it, and reading and writing bytes.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace dyd::test {

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dyd-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern + "/";
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in "/".
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline std::string Fixture(std::string_view relative) {
    return std::string(DYD_FIXTURES) + "/" + std::string(relative);
}

// Copies a fixture folder (for example "mini") into target.
inline void CopyFixture(std::string_view name, const std::string& target) {
    std::filesystem::copy(Fixture(name), target,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Lines joined with CR LF, each ended by CR LF.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (const std::string_view line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

// What a program printed and how it ended.
struct ProgramRun {
    std::string out;
    std::string err;
    int status = -1;  // the exit status; -1 when it could not start or was killed
};

// Runs command (the program's path, then its arguments); standard output and error go through
// files, so a large output cannot block it.
inline ProgramRun RunProgram(const std::vector<std::string>& command) {
    TempDir dir;
    const std::string outFile = dir.path() + "out";
    const std::string errFile = dir.path() + "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT, 0644);
    std::vector<std::string> all = command;
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    ProgramRun run;
    pid_t pid = 0;
    if (!all.empty() &&
        posix_spawn(&pid, all[0].c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadBytes(outFile);
    run.err = ReadBytes(errFile);
    return run;
}

}  // namespace dyd::test
