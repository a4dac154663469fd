// The installed program: `cmake --install` into a DESTDIR puts the program, the course tool, the
// menu entry, the icon and the sample installation in their places; the installation is then made
// read-only, and the installed program, started from the menu entry's command under the offscreen
// platform, takes a new learner through its login windows. Everything it writes lands in the
// user's data folder and the installation stays as it was, byte for byte; the installed course
// tool finds the learner there too.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "run.h"
#include "support.h"

namespace dyd {
namespace {

namespace fs = std::filesystem;
using test::ProgramRun;
using test::ReadBytes;
using test::RunWith;
using test::TempDir;

// Every entry under root with its kind, mode and content (or link target).
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string rel = entry.path().string().substr(root.size());
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        std::string what = std::to_string(st.st_mode) + " ";
        if (S_ISLNK(st.st_mode)) {
            what += fs::read_symlink(entry.path()).string();
        } else if (S_ISREG(st.st_mode)) {
            what += std::to_string(std::hash<std::string>{}(ReadBytes(entry.path().string())));
        }
        out[rel] = what;
    }
    return out;
}

void ForEachEntry(const std::string& root, const std::function<void(const fs::path&)>& action) {
    action(root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_symlink()) {
            action(entry.path());
        }
    }
}

// The Exec line of a desktop entry.
std::string ExecLine(const std::string& desktopFile) {
    const std::string text = ReadBytes(desktopFile);
    const std::size_t at = text.find("\nExec=");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t end = text.find('\n', at + 1);
    return text.substr(at + 6, end - at - 6);
}

bool HasLine(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

class InstalledProgram : public testing::Test {
  protected:
    void SetUp() override {
        // Open to every user: the program may run as one who owns nothing here.
        fs::permissions(root_.path(), fs::perms::all);
    }

    // Makes the installation read-only, as a package's files are to a user.
    void MakeReadOnly() {
        ForEachEntry(dest_, [](const fs::path& path) {
            fs::permissions(path,
                            fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write,
                            fs::perm_options::remove);
        });
    }

    // Starts the installed program from its menu entry with the driver loaded, as user (empty:
    // this process's user), and waits for it. Another copy of the program running for the same
    // user makes a start end at once: such starts are tried again.
    ProgramRun StartFromMenu(const std::string& xdg, const std::string& name,
                             const std::string& user = {}) {
        const std::string exec = ExecLine(usr_ + "share/applications/dydaktor.desktop");
        std::vector<std::string> command;
        if (!user.empty()) {
            const passwd* pw = ::getpwnam(user.c_str());
            command = {"setpriv", "--reuid=" + std::to_string(pw->pw_uid),
                       "--regid=" + std::to_string(pw->pw_gid), "--clear-groups"};
        }
        // The entry names the program alone: the system finds it on the PATH.
        command.push_back(exec);
        ProgramRun run;
        for (int attempt = 0; attempt < 20; ++attempt) {
            run = RunWith(command, {{"PATH", usr_ + "bin:/usr/bin:/bin"},
                                    {"QT_QPA_PLATFORM", "offscreen"},
                                    {"XDG_DATA_HOME", xdg},
                                    {"HOME", root_.path() + "home"},
                                    {"LD_PRELOAD", driver_},
                                    {"DYD_DRIVER_NAME", name}});
            if (run.err.find("dyd-driver started") != std::string::npos) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        return run;
    }

    void ExpectLearnerLoggedIn(const ProgramRun& run, const std::string& xdg,
                               const std::string& usrT) {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("dyd-driver menu"), std::string::npos) << run.err;
        // The login and the new learner, then (in either order, as the hint comes a moment after
        // the main menu) the hint and the question at the end.
        const std::size_t seen = run.err.find("dyd-driver seen TForm9 TForm10 ");
        EXPECT_NE(seen, std::string::npos) << run.err;
        const std::string rest = run.err.substr(std::min(seen, run.err.size()));
        const std::string after = rest.substr(0, rest.find('\n'));
        EXPECT_TRUE(after.ends_with(" TForm20 TForm24") || after.ends_with(" TForm24 TForm20"))
            << after;
        EXPECT_EQ(run.err.find("dyd-driver error"), std::string::npos) << run.err;

        const std::string data = xdg + "/dydaktor/";
        // The user list and the learner's folder are his own files; the course is read through
        // links to the installation.
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(data + "usr.t")));
        EXPECT_EQ(ReadBytes(data + "usr.t"), usrT);
        EXPECT_TRUE(fs::is_directory(fs::symlink_status(data + "1")));
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(data + "1/angielski.ustaw")))
            << "the settings are saved when the main menu closes";
        EXPECT_TRUE(fs::is_symlink(data + "ds50.ini"));
        EXPECT_EQ(fs::read_symlink(data + "db/angielski/dyda_s.txt"),
                  fs::canonical(share_).string() + "/db/angielski/dyda_s.txt");
    }

    TempDir root_;
    std::string dest_ = root_.path() + "dest";
    std::string usr_ = dest_ + "/usr/";
    std::string share_ = usr_ + "share/dydaktor/";
    std::string driver_ = DYD_INSTALL_DRIVER;
};

TEST_F(InstalledProgram, ANewLearnerLogsInAndOnlyTheUsersDataFolderIsWritten) {
    const ProgramRun install = RunWith({"cmake", "--install", DYD_BUILD_DIR, "--prefix", "/usr"},
                                       {{"DESTDIR", dest_}});
    ASSERT_EQ(install.status, 0) << install.out << install.err;
    // What the installation holds.
    for (const char* file :
         {"bin/dydaktor", "bin/dydaktor-db", "share/applications/dydaktor.desktop",
          "share/icons/hicolor/48x48/apps/dydaktor.png", "share/icons/hicolor/256x256/apps/dydaktor.png",
          "share/icons/hicolor/scalable/apps/dydaktor.svg", "share/dydaktor/ds50.ini",
          "share/dydaktor/db/angielski/dyda_s.txt", "share/dydaktor/htm_s/index.html",
          "share/dydaktor/but_s/ok2.bmp"}) {
        EXPECT_TRUE(fs::is_regular_file(usr_ + file)) << file;
    }
    // Only what the generator made: nothing the program wrote while it ran in the build.
    EXPECT_FALSE(fs::exists(share_ + "dydaktor"));
    EXPECT_FALSE(fs::exists(share_ + "usr.t"));
    const std::string desktop = ReadBytes(usr_ + "share/applications/dydaktor.desktop");
    EXPECT_TRUE(HasLine(desktop, "Exec=dydaktor"));
    EXPECT_TRUE(HasLine(desktop, "Icon=dydaktor"));
    EXPECT_TRUE(HasLine(desktop, "GenericName=Nauka słówek"));
    if (fs::exists("/usr/bin/desktop-file-validate")) {
        const ProgramRun valid =
            RunWith({"desktop-file-validate", usr_ + "share/applications/dydaktor.desktop"}, {});
        EXPECT_EQ(valid.status, 0) << valid.out << valid.err;
        EXPECT_EQ(valid.out, "");
    }

    MakeReadOnly();
    const auto installed = Snapshot(dest_);

    const std::string xdg = root_.path() + "dane-ucznia";
    const ProgramRun run = StartFromMenu(xdg, "Łucja");
    ExpectLearnerLoggedIn(run, xdg, "1=\xa3ucja\r\n");

    // The course tool, pointed at the installation, finds the learner in the user's folder.
    const ProgramRun tool = RunWith(
        {usr_ + "bin/dydaktor-db", "learner", share_, "angielski", "1"}, {{"XDG_DATA_HOME", xdg}});
    EXPECT_EQ(tool.status, 0) << tool.err;
    EXPECT_EQ(tool.out.rfind("{\"table\":\"settings\"", 0), 0u) << tool.out.substr(0, 300);
    // Another user's folder has no such learner.
    const ProgramRun other =
        RunWith({usr_ + "bin/dydaktor-db", "learner", share_, "angielski", "1"},
                {{"XDG_DATA_HOME", root_.path() + "inny"}});
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("nie ma ucznia 1"), std::string::npos) << other.err;

    // A second learner on a second start: the user list is rewritten in the user's folder.
    const ProgramRun second = StartFromMenu(xdg, "Olek");
    ExpectLearnerLoggedIn(second, xdg, "1=\xa3ucja\r\n2=Olek\r\n");

    // A user who cannot write the installation at all (the tests may run as the superuser, who
    // can): the same road as the unprivileged user "nobody".
    if (::geteuid() == 0 && ::getpwnam("nobody") != nullptr && fs::exists("/usr/bin/setpriv")) {
        const std::string nobodyXdg = root_.path() + "dane-nobody";
        fs::create_directories(nobodyXdg);
        fs::create_directories(root_.path() + "home");
        const passwd* pw = ::getpwnam("nobody");
        ASSERT_EQ(::chown(nobodyXdg.c_str(), pw->pw_uid, pw->pw_gid), 0);
        ASSERT_EQ(::chmod((root_.path() + "home").c_str(), 0777), 0);
        const ProgramRun asNobody = StartFromMenu(nobodyXdg, "Nina", "nobody");
        ExpectLearnerLoggedIn(asNobody, nobodyXdg, "1=Nina\r\n");
    }

    EXPECT_EQ(Snapshot(dest_), installed) << "the installation was written";
}

TEST_F(InstalledProgram, TheDebianPackageHoldsTheProgramAndStartsFromItsMenuEntry) {
    const std::string out = root_.path() + "pakiet";
    const ProgramRun pack = RunWith(
        {"cpack", "-G", "DEB", "--config", DYD_BUILD_DIR "/CPackConfig.cmake", "-B", out}, {}, 600);
    ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
    std::string deb;
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    ASSERT_FALSE(deb.empty()) << pack.out;

    const ProgramRun contents = RunWith({"dpkg-deb", "-c", deb}, {});
    ASSERT_EQ(contents.status, 0) << contents.err;
    for (const char* file :
         {"./usr/bin/dydaktor\n", "./usr/bin/dydaktor-db\n",
          "./usr/share/applications/dydaktor.desktop\n",
          "./usr/share/icons/hicolor/48x48/apps/dydaktor.png\n",
          "./usr/share/icons/hicolor/scalable/apps/dydaktor.svg\n",
          "./usr/share/dydaktor/ds50.ini\n", "./usr/share/dydaktor/db/angielski/dyda_s.txt\n",
          "./usr/share/dydaktor/db/niemiecki/dyda_s.txt\n"}) {
        EXPECT_NE(contents.out.find(file), std::string::npos) << file;
    }
    // Everything lies under /usr, and nothing of a learner came along.
    std::size_t start = 0;
    for (std::size_t end = 0; (end = contents.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = contents.out.substr(start, end - start);
        EXPECT_TRUE(line.find(" ./usr/") != std::string::npos || line.ends_with(" ./")) << line;
    }
    EXPECT_EQ(contents.out.find("usr.t"), std::string::npos);

    const ProgramRun fields = RunWith({"dpkg-deb", "-f", deb, "Package", "Depends"}, {});
    EXPECT_NE(fields.out.find("Package: dydaktor"), std::string::npos) << fields.out;
    for (const char* dependency : {"libqt6widgets6", "libqt6multimedia6", "libvorbisfile3",
                                   "libsndfile1", "qt6-qpa-plugins"}) {
        EXPECT_NE(fields.out.find(dependency), std::string::npos) << fields.out;
    }

    // Unpacked as the package system would, read-only, the program starts from its entry.
    const ProgramRun unpack = RunWith({"dpkg-deb", "-x", deb, dest_}, {});
    ASSERT_EQ(unpack.status, 0) << unpack.err;
    MakeReadOnly();
    const auto installed = Snapshot(dest_);
    const std::string xdg = root_.path() + "dane-ucznia";
    ExpectLearnerLoggedIn(StartFromMenu(xdg, "Łucja"), xdg, "1=\xa3ucja\r\n");
    EXPECT_EQ(Snapshot(dest_), installed) << "the installation was written";
}

}  // namespace
}  // namespace dyd
