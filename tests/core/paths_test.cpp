// Installation paths, dates, the single running copy and atomic file replacement: the pieces of
// start-up that touch the file system or the process.

#include "core/paths.h"

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/files.h"
#include "core/single_instance.h"

namespace dyd {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the test temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = testing::TempDir();
        if (pattern.empty() || pattern.back() != '/') {
            pattern += '/';
        }
        pattern += "dydXXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed for " << pattern;
        }
        path_ = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
            if (entry.is_directory(ignored)) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Ends in "/".
    const std::string& path() const { return path_; }

    std::string MakeFolder(const std::string& relative) const {
        fs::create_directories(path_ + relative);
        return path_ + relative;
    }
    std::string Write(const std::string& relative, const std::string& content) const {
        const std::string file = path_ + relative;
        fs::create_directories(fs::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

  private:
    std::string path_;
};

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAll(const std::string& path) {
    return ReadFileBytes(path).value_or("<none>");
}

// Runs body in a child process and returns its exit code (-1 when it did not exit normally).
template <typename Body>
int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// In a child process running as root, gives up root so that file permissions apply.
bool DropRoot() {
    if (::geteuid() != 0) {
        return true;
    }
    return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// ---- Case-insensitive paths ----------------------------------------------------------------

TEST(ResolvePath, FindsFoldersAndFilesInAnyLetterCase) {
    TempFolder root;
    root.Write("Lang_s/0/gfx_s/Menu.BMP", "bmp");
    root.MakeFolder("htm_s");

    EXPECT_EQ(ResolvePath(root.path(), "Lang_s\\0\\Gfx_s\\menu.bmp"),
              root.path() + "Lang_s/0/gfx_s/Menu.BMP");
    EXPECT_EQ(ResolvePath(root.path(), "LANG_S/0/GFX_S/MENU.BMP"),
              root.path() + "Lang_s/0/gfx_s/Menu.BMP");
    EXPECT_EQ(ResolvePath(root.path(), "Htm_s\\"), root.path() + "htm_s/");
    // The base may come without its closing slash.
    std::string base = root.path();
    base.pop_back();
    EXPECT_EQ(ResolvePath(base, "HTM_S"), root.path() + "htm_s");
}

TEST(ResolvePath, MissingComponentsKeepTheirSpelling) {
    TempFolder root;
    root.MakeFolder("gfx_s");

    EXPECT_EQ(ResolvePath(root.path(), "Gfx_s\\New.txt"), root.path() + "gfx_s/New.txt");
    EXPECT_EQ(ResolvePath(root.path(), "No\\Such\\File.TXT"), root.path() + "No/Such/File.TXT");
    // Once a folder is missing, nothing after it is looked up.
    EXPECT_EQ(ResolvePath(root.path(), "Missing\\gfx_s"), root.path() + "Missing/gfx_s");
}

TEST(ResolvePath, PrefersTheExactSpelling) {
    TempFolder root;
    root.Write("Data/f.txt", "upper");
    root.Write("data/f.txt", "lower");

    EXPECT_EQ(ReadAll(ResolvePath(root.path(), "data\\f.txt")), "lower");
    EXPECT_EQ(ReadAll(ResolvePath(root.path(), "Data\\f.txt")), "upper");
}

TEST(FileExistsUnder, SeesFilesButNotFolders) {
    TempFolder root;
    root.Write("but_s/ok2.bmp", "x");

    EXPECT_TRUE(FileExistsUnder(root.path(), "BUT_S\\OK2.bmp"));
    EXPECT_FALSE(FileExistsUnder(root.path(), "But_s"));
    EXPECT_FALSE(FileExistsUnder(root.path(), "but_s\\missing.bmp"));
}

TEST(SlashPath, TurnsBackslashesIntoSlashes) {
    EXPECT_EQ(SlashPath("db\\01\\wav\\"), "db/01/wav/");
    EXPECT_EQ(SlashPath("a/b"), "a/b");
}

TEST(NativeFolder, MapsRecordingFoldersIntoTheInstallation) {
    struct Case {
        std::string spec;
        std::string expected;
    };
    const Case cases[] = {
        {"D:\\Nagrania\\en", "/inst/Nagrania/en/"},
        {"d:\\wav\\", "/inst/wav/"},
        {"E:", "/inst/"},
        {"wav_3\\", "/inst/wav_3/"},
        {"db\\01\\wav", "/inst/db/01/wav/"},
        {"/mnt/cdrom/wav", "/mnt/cdrom/wav/"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NativeFolder("/inst/", c.spec), c.expected) << "'" << c.spec << "'";
    }
}

// ---- ds50.ini and the program folder -------------------------------------------------------

TEST(ParseDs50Ini, TakesCharacters4To6OfTheTrimmedSecondLine) {
    struct Case {
        std::string bytes;
        std::string discRoot;
    };
    const Case cases[] = {
        {"first\r\nabcdefgh\r\nthird\r\n", "def"},
        {"first\r\n  \tabcdef  \r\n", "def"},
        {"first\nabcdef\n", "def"},
        {"first\r\nabcdef", "def"},
        {"first\r\nabcd\r\n", "d"},
        {"first\r\nabcde\r\n", "de"},
        {"first\r\nabc\r\nthird\r\n", ""},
        {"first\r\n   ab   \r\n", ""},
        {"first\r\n\r\nabcdef\r\n", ""},
        {"only one line", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDs50Ini(c.bytes).discRoot, c.discRoot) << "'" << c.bytes << "'";
    }
}

TEST(ComputeProgramPaths, ReadsTheMarkerBesideTheProgram) {
    TempFolder root;
    root.Write("DS50.INI", "x\r\n1. D:\\x\r\n");

    const ProgramPathsResult result = ComputeProgramPaths(root.path() + "dydaktor", false);
    EXPECT_EQ(result.status, ProgramPathsStatus::Ok);
    EXPECT_EQ(result.paths.programDir, root.path());
    EXPECT_EQ(result.paths.languageDir, "Lang_s/0/");
    EXPECT_EQ(result.paths.discRoot, "D:\\");
    EXPECT_TRUE(result.paths.databaseDir.empty());
    EXPECT_TRUE(result.paths.userDir.empty());
}

TEST(ComputeProgramPaths, ReportsAMissingMarker) {
    TempFolder root;
    root.Write("ds50.txt", "x\r\nabcdef\r\n");

    const ProgramPathsResult result = ComputeProgramPaths(root.path() + "dydaktor", false);
    EXPECT_EQ(result.status, ProgramPathsStatus::MarkerMissing);
}

// Restores the current folder of the test process.
class CurrentFolderGuard {
  public:
    CurrentFolderGuard() : saved_(fs::current_path()) {}
    ~CurrentFolderGuard() { fs::current_path(saved_); }

  private:
    fs::path saved_;
};

TEST(ComputeProgramPaths, MakesTheProgramFolderCurrent) {
    TempFolder root;
    root.Write("inst/ds50.ini", "x\r\nabcdef\r\n");
    const CurrentFolderGuard guard;

    const ProgramPathsResult result = ComputeProgramPaths(root.path() + "inst/dydaktor", true);
    EXPECT_EQ(result.status, ProgramPathsStatus::Ok);
    EXPECT_EQ(result.paths.discRoot, "def");
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(root.path() + "inst"));
}

TEST(ComputeProgramPaths, AProgramStartedByARelativePathFindsItsMarker) {
    TempFolder root;
    root.Write("inst/ds50.ini", "x\r\nabcdef\r\n");
    const CurrentFolderGuard guard;
    fs::current_path(root.path());

    const ProgramPathsResult result = ComputeProgramPaths("inst/dydaktor", true);
    EXPECT_EQ(result.status, ProgramPathsStatus::Ok);
    EXPECT_EQ(result.paths.discRoot, "def");
    // Every path built from programDir must still name the installation.
    EXPECT_TRUE(FileExists(ResolvePath(result.paths.programDir, "ds50.ini")))
        << result.paths.programDir;
}

// ---- Dates -----------------------------------------------------------------------------------

TEST(DayNumber, CountsDaysFrom30December1899) {
    EXPECT_EQ(DayNumber(1899, 12, 30), 0.0);
    EXPECT_EQ(DayNumber(1899, 12, 31), 1.0);
    EXPECT_EQ(DayNumber(1899, 12, 29), -1.0);
    EXPECT_EQ(DayNumber(1900, 1, 1), 2.0);
    EXPECT_EQ(DayNumber(1900, 3, 1), 61.0);  // 1900 was no leap year
    EXPECT_EQ(DayNumber(1970, 1, 1), 25569.0);
    EXPECT_EQ(DayNumber(2000, 1, 1), 36526.0);
    EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 28), 2.0);
    EXPECT_EQ(DayNumber(2100, 3, 1) - DayNumber(2100, 2, 28), 1.0);
}

TEST(FormatDate, WritesYearMonthDayOfTheDayTheNumberFallsOn) {
    EXPECT_EQ(FormatDate(0), "1899-12-30");
    EXPECT_EQ(FormatDate(36526), "2000-01-01");
    EXPECT_EQ(FormatDate(36526.99), "2000-01-01");
    EXPECT_EQ(FormatDate(DayNumber(2024, 2, 29)), "2024-02-29");
    EXPECT_EQ(FormatDate(DayNumber(987, 6, 5)), "0987-06-05");
}

TEST(ParseDate, RoundTripsEveryFormattedDate) {
    for (double day = DayNumber(1899, 12, 30); day <= DayNumber(2101, 1, 1); day += 1.0) {
        const std::string text = FormatDate(day);
        const std::optional<double> parsed = ParseDate(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        ASSERT_EQ(*parsed, day) << text;
    }
    EXPECT_EQ(ParseDate(" 2024-2-9\r\n"), DayNumber(2024, 2, 9));
    EXPECT_EQ(ParseDate("2000-02-29"), DayNumber(2000, 2, 29));
}

TEST(ParseDate, RefusesTextsThatAreNoDate) {
    for (const char* text :
         {"", "2023-02-29", "1900-02-29", "2024-13-01", "2024-00-10", "2024-04-31", "2024-4-0",
          "0000-01-01", "2024/01/01", "2024-01", "2024-01-01x", "2024-01-01-02", "abcd-01-01",
          "-2024-01-01", "12024-01-01", "2024-001-01", "2024- 1-01", "2024-+1-01"}) {
        EXPECT_EQ(ParseDate(text), std::nullopt) << "'" << text << "'";
    }
}

TEST(ParseDecimal, UsesADotWhateverTheLocale) {
    EXPECT_EQ(ParseDecimal("1.5"), 1.5);
    EXPECT_EQ(ParseDecimal(" -0.25\r"), -0.25);
    EXPECT_EQ(ParseDecimal("+2"), 2.0);
    for (const char* text : {"", "1,5", "abc", "1.5x", "1e5", "--1"}) {
        EXPECT_EQ(ParseDecimal(text), std::nullopt) << "'" << text << "'";
    }
    for (const double value : {0.0, 1.5, 2.0, -3.125, 0.1, 45123.416666666664}) {
        EXPECT_EQ(FormatDecimal(value).find(','), std::string::npos);
        EXPECT_EQ(ParseDecimal(FormatDecimal(value)), value) << FormatDecimal(value);
    }
}

// ---- Single running copy ---------------------------------------------------------------------

std::string UniqueInstanceName(const char* what) {
    return std::string("dyd-test-") + what + "-" + std::to_string(::getpid());
}

TEST(SingleInstance, ASecondCopyIsRefusedWhileTheFirstHoldsTheName) {
    const std::string name = UniqueInstanceName("same-process");
    std::unique_ptr<SingleInstance> first;
    ASSERT_EQ(SingleInstance::TryAcquire(name, first), SingleInstance::Result::Acquired);
    ASSERT_NE(first, nullptr);

    std::unique_ptr<SingleInstance> second;
    EXPECT_EQ(SingleInstance::TryAcquire(name, second), SingleInstance::Result::AlreadyRunning);
    EXPECT_EQ(second, nullptr);

    // Another name is free.
    std::unique_ptr<SingleInstance> other;
    EXPECT_EQ(SingleInstance::TryAcquire(name + "-other", other), SingleInstance::Result::Acquired);

    first.reset();
    EXPECT_EQ(SingleInstance::TryAcquire(name, second), SingleInstance::Result::Acquired);
    EXPECT_NE(second, nullptr);
}

TEST(SingleInstance, AKilledCopyFreesTheName) {
    const std::string name = UniqueInstanceName("killed");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        std::unique_ptr<SingleInstance> holder;
        const char answer =
            SingleInstance::TryAcquire(name, holder) == SingleInstance::Result::Acquired ? 'A'
                                                                                         : 'R';
        (void)!::write(ready[1], &answer, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(ready[1]);
    char answer = 0;
    const bool gotAnswer = ::read(ready[0], &answer, 1) == 1;
    ::close(ready[0]);

    std::unique_ptr<SingleInstance> holder;
    const SingleInstance::Result whileChildRuns = SingleInstance::TryAcquire(name, holder);

    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    ASSERT_TRUE(gotAnswer);
    EXPECT_EQ(answer, 'A');
    EXPECT_EQ(whileChildRuns, SingleInstance::Result::AlreadyRunning);
    EXPECT_EQ(SingleInstance::TryAcquire(name, holder), SingleInstance::Result::Acquired);
    EXPECT_NE(holder, nullptr);
}

// ---- Atomic file replacement -----------------------------------------------------------------

TEST(WriteFileAtomically, CreatesAndReplacesAFileLeavingNoTemporaryFiles) {
    TempFolder root;
    const std::string file = root.path() + "settings.ustaw";

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file, "first version, rather long\r\n", &error)) << error;
    EXPECT_EQ(ReadAll(file), "first version, rather long\r\n");

    ASSERT_TRUE(WriteFileAtomically(file, "short\r\n", &error)) << error;
    EXPECT_EQ(ReadAll(file), "short\r\n");

    ASSERT_TRUE(WriteFileAtomically(file, "", &error)) << error;
    EXPECT_EQ(ReadAll(file), "");

    const std::string binary("\0\xFF\r\n\x1A", 5);
    ASSERT_TRUE(WriteFileAtomically(file, binary, &error)) << error;
    EXPECT_EQ(ReadAll(file), binary);

    EXPECT_EQ(Entries(root.path()), std::vector<std::string>{"settings.ustaw"});
}

TEST(WriteFileAtomically, KeepsThePermissionsOfTheReplacedFile) {
    TempFolder root;
    const std::string file = root.Write("1.p", "old");
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);

    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(WriteFileAtomically, FailsWithoutHarmWhenThePathIsAFolder) {
    TempFolder root;
    root.Write("target/inside.txt", "kept");

    std::string error;
    EXPECT_FALSE(WriteFileAtomically(root.path() + "target", "content", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(DirectoryExists(root.path() + "target"));
    EXPECT_EQ(ReadAll(root.path() + "target/inside.txt"), "kept");
    EXPECT_EQ(Entries(root.path()), std::vector<std::string>{"target"});
}

TEST(WriteFileAtomically, FailsWhenTheFolderIsMissing) {
    TempFolder root;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(root.path() + "missing/file.txt", "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(Entries(root.path()).empty());
}

TEST(WriteFileAtomically, KeepsTheOldFileWhenTheFolderIsNotWritable) {
    TempFolder root;
    const std::string folder = root.MakeFolder("locked");
    const std::string file = root.Write("locked/usr.t", "old content\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(root.path().c_str(), 0755), 0);

    const int code = InChild([&file] {
        if (!DropRoot()) {
            return 2;
        }
        std::string error;
        const bool written = WriteFileAtomically(file, "new content\r\n", &error);
        return written ? 1 : (error.empty() ? 3 : 0);
    });

    EXPECT_EQ(code, 0) << "1: written anyway, 2: could not drop root, 3: no error text";
    EXPECT_EQ(ReadAll(file), "old content\r\n");
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"usr.t"});
}

TEST(WriteFileAtomically, KeepsTheOldFileWhenTheDiskFillsUp) {
    TempFolder root;
    const std::string file = root.Write("1.p", "old content\r\n");

    // A file size limit makes writing fail part way, as a full disk would.
    const int code = InChild([&file] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        const bool written = WriteFileAtomically(file, std::string(100000, 'x'));
        return written ? 1 : 0;
    });

    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadAll(file), "old content\r\n");
    EXPECT_EQ(Entries(root.path()), std::vector<std::string>{"1.p"});
}

}  // namespace
}  // namespace dyd
