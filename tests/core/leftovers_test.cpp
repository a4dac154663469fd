// What a copy of the program killed between writing a temporary file and renaming it leaves
// behind is removed at the next start, when no other copy runs on the installation.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/files.h"
#include "core/single_instance.h"
#include "support.h"

namespace dyd {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(Leftovers, OnlyTheTemporaryNamesOfAtomicWritesAreRemoved) {
    TempDir dir;
    const std::string root = dir.path();
    std::filesystem::create_directories(root + "3");
    std::filesystem::create_directories(root + "db/angielski");
    std::filesystem::create_directories(root + "nagrania");
    const char* leftovers[] = {".usr.t.Ab12Cd", "3/.angielski.p.XyZ123",
                               "db/angielski/.angielski_k.txt.q1w2e3"};
    const char* kept[] = {
        ".hidden",        ".usr.t.abc",    ".usr.t.Ab12C!",          "usr.t",
        ".dydaktor.lock", "3/angielski.p", "nagrania/.x.txt.abcdef", "3/..Ab12Cd"};
    for (const char* name : leftovers) {
        WriteBytes(root + name, "cut");
    }
    for (const char* name : kept) {
        WriteBytes(root + name, "keep");
    }
    std::filesystem::create_directories(root + ".folder.Ab12Cd");

    std::vector<std::string> removed = RemoveInstallationLeftovers(root);
    std::sort(removed.begin(), removed.end());
    ASSERT_EQ(removed.size(), 3u);
    for (const char* name : leftovers) {
        EXPECT_FALSE(std::filesystem::exists(root + name)) << name;
    }
    for (const char* name : kept) {
        EXPECT_TRUE(std::filesystem::exists(root + name)) << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(root + ".folder.Ab12Cd"));
}

TEST(Leftovers, OnlyACopyAloneOnTheInstallationIsToldSo) {
    TempDir dir;
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        bool alone = false;
        const auto lock = InstallationLock::Take(dir.path(), &alone);
        char c = alone ? '1' : '0';
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char first = 0;
    ASSERT_EQ(::read(ready[0], &first, 1), 1);
    EXPECT_EQ(first, '1');

    bool alone = true;
    auto second = InstallationLock::Take(dir.path(), &alone);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(alone);
    second.reset();

    // The other copy ends (here without letting go of anything itself): the next start is alone.
    (void)!::write(release[1], "x", 1);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    auto third = InstallationLock::Take(dir.path(), &alone);
    EXPECT_TRUE(alone);
}

}  // namespace
}  // namespace dyd
