// Finding the installation beside the program or in a package's data folder, and the user's own
// folder over a read-only installation: links to the installed files, the user's file in place of
// a link after a write, and the links kept up to date when the installation changes.

#include "core/install_layer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "core/files.h"
#include "core/paths.h"
#include "support.h"

namespace dyd {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// Every entry under root: "d" for a folder, "l <target>" for a link, "f <bytes>" for a file.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string rel = entry.path().string().substr(root.size());
        if (entry.is_symlink()) {
            out[rel] = "l " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            out[rel] = "d";
        } else {
            out[rel] = "f " + ReadBytes(entry.path().string());
        }
    }
    return out;
}

// A small installation: the marker, a user list, a course folder with a file, a hidden lock.
void MakeInstallation(const std::string& dir) {
    WriteBytes(dir + "ds50.ini", "x\r\n123D:\\\r\n");
    WriteBytes(dir + "usr.t", "1=Ala\r\n");
    WriteBytes(dir + "db/angielski/dyda_s.txt", "Angielski\r\n");
    WriteBytes(dir + "db/angielski/wav/a.ogg", "OggS");
    WriteBytes(dir + ".dydaktor.lock", "");
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(InstallLayer, FindsTheInstallationBesideTheProgramFirstThenInThePackageDataFolder) {
    TempDir dir;
    MakeInstallation(dir.path() + "usr/share/dydaktor/");
    fs::create_directories(dir.path() + "usr/bin");
    const std::string bin = dir.path() + "usr/bin/";

    const InstallationPlace package = FindInstallation(bin, "../share/dydaktor");
    EXPECT_EQ(package.dir, fs::canonical(dir.path()).string() + "/usr/share/dydaktor/");
    EXPECT_FALSE(package.besideProgram);

    EXPECT_EQ(FindInstallation(bin, "").dir, "");
    EXPECT_EQ(FindInstallation(bin, "../share/nic").dir, "");

    WriteBytes(bin + "DS50.INI", "");  // letter case aside, as every installed name
    const InstallationPlace beside = FindInstallation(bin, "../share/dydaktor");
    EXPECT_EQ(beside.dir, bin);
    EXPECT_TRUE(beside.besideProgram);
}

TEST(InstallLayer, AFolderIsWritableOnlyWhenAFileCanBeMadeThereAndTheOverrideIsOff) {
    TempDir dir;
    ScopedEnv off(kReadOnlyInstallVariable, std::nullopt);
    EXPECT_TRUE(FolderWritable(dir.path()));
    EXPECT_TRUE(fs::is_empty(dir.path())) << "the probe file is removed";
    EXPECT_FALSE(FolderWritable(dir.path() + "brak/"));
    if (::geteuid() != 0) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(FolderWritable(dir.path()));
        fs::permissions(dir.path(), fs::perms::owner_all);
    }
    ScopedEnv on(kReadOnlyInstallVariable, std::string("1"));
    EXPECT_FALSE(FolderWritable(dir.path()));
}

TEST(InstallLayer, TheUserDataFolderFollowsXdgDataHomeThenHome) {
    struct Case {
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string folder;
    };
    const Case cases[] = {
        {"/x/dane", "/home/ala", "/x/dane/dydaktor/"},
        {"/x/dane/", "/home/ala", "/x/dane/dydaktor/"},
        {"", "/home/ala", "/home/ala/.local/share/dydaktor/"},
        {"wzgledny", "/home/ala", "/home/ala/.local/share/dydaktor/"},
        {std::nullopt, "/home/ala/", "/home/ala/.local/share/dydaktor/"},
        {std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(UserDataFolder(), c.folder) << c.xdg.value_or("-") << " " << c.home.value_or("-");
    }
}

TEST(InstallLayer, TheLayerLinksEveryInstalledFileAndAWriteReplacesOnlyTheLink) {
    TempDir dir;
    const std::string install = dir.path() + "inst/";
    const std::string layer = dir.path() + "home/dane/dydaktor/";
    MakeInstallation(install);
    fs::permissions(install + "usr.t", fs::perms::owner_read | fs::perms::group_read);
    const auto installed = Snapshot(install);

    const LayerSync sync = SyncUserLayer(install, layer);
    ASSERT_TRUE(sync.ok) << sync.error;
    EXPECT_EQ(sync.linked, 7);  // 3 folders, 4 files; the hidden lock is the running program's
    EXPECT_EQ(fs::read_symlink(layer + "usr.t"), install + "usr.t");
    EXPECT_EQ(fs::read_symlink(layer + "db/angielski/wav/a.ogg"), install + "db/angielski/wav/a.ogg");
    EXPECT_TRUE(fs::is_directory(layer + "db/angielski/wav") && !IsLink(layer + "db/angielski/wav"));
    EXPECT_FALSE(fs::exists(layer + ".dydaktor.lock"));
    EXPECT_EQ(ReadBytes(layer + "db/angielski/dyda_s.txt"), "Angielski\r\n");

    // The first write of an installed file makes it the user's; a new file is his alone.
    ASSERT_TRUE(WriteFileAtomically(layer + "usr.t", "1=Ala\r\n2=Ola\r\n"));
    ASSERT_TRUE(WriteFileAtomically(layer + "db/angielski/sbusr.txt", "x\r\n"));
    EXPECT_FALSE(IsLink(layer + "usr.t"));
    EXPECT_EQ(ReadBytes(layer + "usr.t"), "1=Ala\r\n2=Ola\r\n");
    EXPECT_TRUE((fs::status(layer + "usr.t").permissions() & fs::perms::owner_write) !=
                fs::perms::none)
        << "the user's file does not take over the installed file's read-only mode";
    EXPECT_EQ(Snapshot(install), installed);

    // A second start finds nothing to do and leaves the user's file alone.
    const LayerSync again = SyncUserLayer(install, layer);
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.linked + again.removed, 0);
    EXPECT_EQ(ReadBytes(layer + "usr.t"), "1=Ala\r\n2=Ola\r\n");
}

TEST(InstallLayer, LaterSyncsFollowTheInstallationAndKeepWhatTheUserDid) {
    TempDir dir;
    const std::string install = dir.path() + "inst/";
    const std::string layer = dir.path() + "layer/";
    MakeInstallation(install);
    ASSERT_TRUE(SyncUserLayer(install, layer).ok);

    // The user replaces one installed file and removes the link of another.
    ASSERT_TRUE(WriteFileAtomically(layer + "db/angielski/dyda_s.txt", "Mój\r\n"));
    fs::remove(layer + "db/angielski/wav/a.ogg");
    // The package is updated: a course file and a folder come, the user list and the file the
    // user replaced go.
    WriteBytes(install + "db/angielski/gt_s.txt", "1=Dom\r\n");
    WriteBytes(install + "htm_s/index.html", "<p>");
    fs::remove(install + "usr.t");
    fs::remove(install + "db/angielski/dyda_s.txt");

    const LayerSync sync = SyncUserLayer(install, layer);
    ASSERT_TRUE(sync.ok) << sync.error;
    EXPECT_EQ(sync.linked, 3);
    EXPECT_EQ(sync.removed, 1);
    EXPECT_EQ(ReadBytes(layer + "db/angielski/gt_s.txt"), "1=Dom\r\n");
    EXPECT_EQ(ReadBytes(layer + "htm_s/index.html"), "<p>");
    EXPECT_FALSE(fs::exists(fs::symlink_status(layer + "usr.t")));
    EXPECT_EQ(ReadBytes(layer + "db/angielski/dyda_s.txt"), "Mój\r\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(layer + "db/angielski/wav/a.ogg")))
        << "a file the user removed does not come back";

    // The installation moves (another prefix): the links follow, the user's files stay.
    const std::string moved = dir.path() + "inne/";
    fs::rename(install, moved);
    const LayerSync after = SyncUserLayer(moved, layer);
    ASSERT_TRUE(after.ok) << after.error;
    EXPECT_EQ(fs::read_symlink(layer + "db/angielski/gt_s.txt"), moved + "db/angielski/gt_s.txt");
    EXPECT_EQ(ReadBytes(layer + "ds50.ini"), "x\r\n123D:\\\r\n");
    EXPECT_EQ(ReadBytes(layer + "db/angielski/dyda_s.txt"), "Mój\r\n");
}

TEST(InstallLayer, ALayerThatCannotBeMadeIsAnError) {
    TempDir dir;
    MakeInstallation(dir.path() + "inst/");
    WriteBytes(dir.path() + "plik", "");
    const LayerSync sync = SyncUserLayer(dir.path() + "inst/", dir.path() + "plik/dydaktor/");
    EXPECT_FALSE(sync.ok);
    EXPECT_NE(sync.error.find("Nie można utworzyć katalogu " + dir.path() + "plik/dydaktor"),
              std::string::npos)
        << sync.error;
}

// A package tree: prefix/bin/dydaktor and prefix/share/dydaktor, the user's data under home.
struct PackageTree {
    TempDir dir;
    std::string bin = dir.path() + "usr/bin/";
    std::string data = dir.path() + "usr/share/dydaktor/";
    std::string xdg = dir.path() + "dane";
    PackageTree() {
        MakeInstallation(data);
        fs::create_directories(bin);
        WriteBytes(bin + "dydaktor", "");
    }
};

// What the start-up makes of the program's file: the paths of the folder it works in.
ProgramPathsResult PathsFor(const std::string& programFile, std::string* error = nullptr) {
    std::string ignored;
    const std::string file =
        ProgramFileInWorkFolder(programFile, "../share/dydaktor", error ? error : &ignored);
    if (file.empty()) {
        return {};
    }
    return ComputeProgramPaths(file, false);
}

TEST(InstallLayer, TheProgramWorksInTheUserFolderOverAPackageAndInPlaceBesideItself) {
    PackageTree tree;
    ScopedEnv xdg("XDG_DATA_HOME", tree.xdg);
    ScopedEnv override(kReadOnlyInstallVariable, std::nullopt);

    // A package's data is never written, even by a user who could.
    const WorkFolder work = ChooseWorkFolder(tree.bin, "../share/dydaktor");
    EXPECT_TRUE(work.layered);
    EXPECT_EQ(work.installDir, fs::canonical(tree.data).string() + "/");
    const ProgramPathsResult package = PathsFor(tree.bin + "dydaktor");
    ASSERT_EQ(package.status, ProgramPathsStatus::Ok);
    EXPECT_EQ(package.paths.programDir, tree.xdg + "/dydaktor/");
    EXPECT_EQ(package.paths.discRoot, "D:\\");
    EXPECT_EQ(package.paths.languageDir, "Lang_s/0/");

    // Beside the program: worked in when writable, layered when not.
    TempDir portable;
    MakeInstallation(portable.path());
    EXPECT_EQ(PathsFor(portable.path() + "dydaktor").paths.programDir, portable.path());
    {
        ScopedEnv readOnly(kReadOnlyInstallVariable, std::string("1"));
        const ProgramPathsResult layered = PathsFor(portable.path() + "dydaktor");
        EXPECT_EQ(layered.paths.programDir, tree.xdg + "/dydaktor/");
        EXPECT_EQ(fs::read_symlink(layered.paths.programDir + "db/angielski/dyda_s.txt"),
                  portable.path() + "db/angielski/dyda_s.txt");
    }

    // A package installed into the user's own data folder is his to write.
    {
        ScopedEnv own("XDG_DATA_HOME", tree.dir.path() + "usr/share");
        const WorkFolder home = ChooseWorkFolder(tree.bin, "../share/dydaktor");
        EXPECT_FALSE(home.layered);
        EXPECT_EQ(home.dir, fs::canonical(tree.data).string() + "/");
    }

    // Without a place for the user's data the program says why; without an installation the
    // start-up says that the marker is missing.
    ScopedEnv noXdg("XDG_DATA_HOME", std::nullopt);
    ScopedEnv noHome("HOME", std::nullopt);
    std::string error;
    EXPECT_EQ(ProgramFileInWorkFolder(tree.bin + "dydaktor", "../share/dydaktor", &error), "");
    EXPECT_NE(error.find("HOME"), std::string::npos) << error;
    TempDir empty;
    EXPECT_EQ(PathsFor(empty.path() + "dydaktor").status, ProgramPathsStatus::MarkerMissing);
}

}  // namespace
}  // namespace dyd
