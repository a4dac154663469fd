#pragma once

// A copy of the sample installation that a test may change: the course folders are copied file
// by file (a login writes into them), everything else (recordings, pictures, help) is linked;
// without the pictures of the buttons, the backgrounds and the interface when pictures is false.

#include <filesystem>
#include <string>

namespace dyd::test {

inline void LinkInstallation(const std::filesystem::path& from, const std::filesystem::path& to,
                             bool pictures = true) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        if (name == "dydaktor" ||
            (!pictures && (name == "but_s" || name == "cw_tla_s" || name == "Lang_s"))) {
            continue;
        }
        if (name == "db") {
            for (const fs::directory_entry& course : fs::directory_iterator(entry.path())) {
                const fs::path target = to / "db" / course.path().filename();
                fs::create_directories(target);
                for (const fs::directory_entry& file : fs::directory_iterator(course.path())) {
                    if (file.is_directory()) {
                        fs::create_directory_symlink(file.path(), target / file.path().filename());
                    } else {
                        fs::copy_file(file.path(), target / file.path().filename());
                    }
                }
            }
        } else if (entry.is_directory()) {
            fs::create_directory_symlink(entry.path(), to / name);
        } else {
            fs::copy_file(entry.path(), to / name);
        }
    }
}

}  // namespace dyd::test
