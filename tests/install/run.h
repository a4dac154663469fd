#pragma once

// Running an installed program for the installation tests: with variables added to the
// environment, output kept in files, and a limit after which the program is killed.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <algorithm>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support.h"

namespace dyd::test {

// command[0] is the program's path. env adds or replaces variables; an empty value removes one.
inline ProgramRun RunWith(const std::vector<std::string>& command,
                          const std::map<std::string, std::string>& env, int limitSeconds = 120) {
    TempDir dir;
    const std::string outFile = dir.path() + "out";
    const std::string errFile = dir.path() + "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT, 0644);

    std::map<std::string, std::string> all;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos) {
            all[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
    }
    for (const auto& [name, value] : env) {
        if (value.empty()) {
            all.erase(name);
        } else {
            all[name] = value;
        }
    }
    std::vector<std::string> envStrings;
    for (const auto& [name, value] : all) {
        envStrings.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    // A bare program name is looked for on the PATH the program gets.
    std::vector<std::string> args = command;
    if (!args.empty() && args[0].find('/') == std::string::npos) {
        const std::string path = all.count("PATH") != 0 ? all["PATH"] : "/usr/bin:/bin";
        std::size_t begin = 0;
        while (begin <= path.size()) {
            const std::size_t colon = std::min(path.find(':', begin), path.size());
            const std::string candidate = path.substr(begin, colon - begin) + "/" + args[0];
            if (::access(candidate.c_str(), X_OK) == 0) {
                args[0] = candidate;
                break;
            }
            begin = colon + 1;
        }
    }
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    ProgramRun run;
    pid_t pid = 0;
    if (!args.empty() &&
        posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadBytes(outFile);
    run.err = ReadBytes(errFile);
    return run;
}

}  // namespace dyd::test
